// The built vrpph.dll, loaded from the test program's own folder the way a
// host loads it, and unloaded again at the end of each test.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/module_file.h"

namespace vrpph::wine_tests {

// The platform this build's module and type library are for, and the
// subkey of a type library version that registers it.
constexpr bool kModuleIs64Bit = sizeof(void*) == 8;
constexpr SYSKIND kModuleSysKind = kModuleIs64Bit ? SYS_WIN64 : SYS_WIN32;
constexpr const char* kTypeLibraryPlatform = kModuleIs64Bit ? "win64" : "win32";

// Full path of vrpph.dll beside this test program.
inline std::string VrpphDllPath() {
  std::string path = platform::ModuleFileNameA(nullptr).value_or("");
  const auto slash = path.find_last_of("\\/");
  path.erase(slash == std::string::npos ? 0 : slash + 1);
  return path + "vrpph.dll";
}

class LoadedDll {
 public:
  LoadedDll() : module_(LoadLibraryA(VrpphDllPath().c_str())) {}

  [[nodiscard]] HMODULE get() const { return module_.get(); }

  // The export `name` as a function of type `Function`, or null.
  template <typename Function>
  [[nodiscard]] Function Export(const char* name) const {
    return platform::GetProc<Function>(module_.get(), name);
  }

  // A fresh, standalone object of `classId` asked for `interfaceId`, made
  // through the module's class object as COM makes it; the caller releases
  // *out. Fails with E_UNEXPECTED when the module or its export is missing.
  HRESULT CreateInstance(REFCLSID classId, REFIID interfaceId, void** out) const {
    *out = nullptr;
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    const auto getClassObject = Export<GetClassObject>("DllGetClassObject");
    if (!getClassObject) return E_UNEXPECTED;
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(classId, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    hr = factory->CreateInstance(nullptr, interfaceId, out);
    factory->Release();
    return hr;
  }

 private:
  platform::UniqueModule module_;
};

}  // namespace vrpph::wine_tests
