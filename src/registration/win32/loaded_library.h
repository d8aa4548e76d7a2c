// A library this code loads itself, freed again when the owner goes.
#pragma once

#include <windows.h>

#include <utility>

namespace vrpph {

class LoadedLibrary {
 public:
  explicit LoadedLibrary(HMODULE module = nullptr) : module_(module) {}
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;
  LoadedLibrary(LoadedLibrary&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
  LoadedLibrary& operator=(LoadedLibrary&& other) noexcept {
    if (this != &other) {
      Reset();
      module_ = std::exchange(other.module_, nullptr);
    }
    return *this;
  }
  ~LoadedLibrary() { Reset(); }

  [[nodiscard]] HMODULE get() const { return module_; }
  explicit operator bool() const { return module_ != nullptr; }

  // The export `name` as a function of type `Function`, or null.
  template <typename Function>
  [[nodiscard]] Function Export(const char* name) const {
    // Through void*: FARPROC's own type says nothing about the real one.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  void Reset() {
    if (HMODULE module = std::exchange(module_, nullptr)) FreeLibrary(module);
  }

  HMODULE module_;
};

}  // namespace vrpph
