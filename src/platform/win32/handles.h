// One owner for every kind of Windows handle the code opens: the handle and
// the call that gives it back, moved but never copied. Each kind is one
// traits struct and one alias below; GetProc gives an export its real type.
#pragma once

#include <windows.h>

#include <utility>

namespace vrpph::platform {

// Traits: `Type`, the value that means "none", and how to give one back.
template <typename Traits>
class UniqueAny {
 public:
  using Type = typename Traits::Type;

  UniqueAny() = default;
  explicit UniqueAny(Type handle) : handle_(handle) {}
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  UniqueAny(UniqueAny&& other) noexcept : handle_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueAny() { reset(); }

  [[nodiscard]] Type get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::None(); }
  // For an API that writes a new handle: the old one goes first.
  Type* put() {
    reset();
    return &handle_;
  }
  [[nodiscard]] Type release() { return std::exchange(handle_, Traits::None()); }
  void reset(Type handle = Traits::None()) {
    const Type old = std::exchange(handle_, handle);
    if (old != Traits::None()) Traits::Close(old);
  }

 private:
  Type handle_ = Traits::None();
};

namespace handle_traits {
// Kernel objects: processes, threads, events, pipes.
struct Kernel {
  using Type = HANDLE;
  static Type None() { return nullptr; }
  static void Close(Type handle) { CloseHandle(handle); }
};
// What CreateFile and CreateToolhelp32Snapshot give, whose "none" is
// INVALID_HANDLE_VALUE.
struct File {
  using Type = HANDLE;
  static Type None() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { CloseHandle(handle); }
};
struct Key {
  using Type = HKEY;
  static Type None() { return nullptr; }
  static void Close(Type key) { RegCloseKey(key); }
};
struct Module {
  using Type = HMODULE;
  static Type None() { return nullptr; }
  static void Close(Type module) { FreeLibrary(module); }
};
struct GdiObject {
  using Type = HGDIOBJ;
  static Type None() { return nullptr; }
  static void Close(Type object) { DeleteObject(object); }
};
}  // namespace handle_traits

using UniqueHandle = UniqueAny<handle_traits::Kernel>;
using UniqueFile = UniqueAny<handle_traits::File>;
using UniqueKey = UniqueAny<handle_traits::Key>;
using UniqueModule = UniqueAny<handle_traits::Module>;
using UniqueGdiObject = UniqueAny<handle_traits::GdiObject>;

// An export's address as the function of type `Function` it is.
template <typename Function>
[[nodiscard]] Function FunctionFrom(FARPROC address) {
  // Through void*: FARPROC's own type says nothing about the real one.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

// Export `name` of `module` as a function of type `Function`, or null.
template <typename Function>
[[nodiscard]] Function GetProc(HMODULE module, const char* name) {
  return module ? FunctionFrom<Function>(GetProcAddress(module, name)) : nullptr;
}

}  // namespace vrpph::platform
