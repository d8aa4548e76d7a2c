// The built vrpph.dll, loaded from the test program's own folder the way a
// host loads it, and unloaded again at the end of each test.
#pragma once

#include <windows.h>

#include <string>

namespace vrpph::wine_tests {

// Full path of vrpph.dll beside this test program.
inline std::string VrpphDllPath() {
  char exe[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string path(exe, length < MAX_PATH ? length : 0);
  const auto slash = path.find_last_of("\\/");
  path.erase(slash == std::string::npos ? 0 : slash + 1);
  return path + "vrpph.dll";
}

class LoadedDll {
 public:
  LoadedDll() : module_(LoadLibraryA(VrpphDllPath().c_str())) {}
  LoadedDll(const LoadedDll&) = delete;
  LoadedDll& operator=(const LoadedDll&) = delete;
  ~LoadedDll() {
    if (module_) FreeLibrary(module_);
  }

  [[nodiscard]] HMODULE get() const { return module_; }

  // The export `name` as a function of type `Function`, or null.
  template <typename Function>
  [[nodiscard]] Function Export(const char* name) const {
    // Through void*: FARPROC's own type says nothing about the real one.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

}  // namespace vrpph::wine_tests
