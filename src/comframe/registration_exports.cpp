// Self-registration entry points: each class's script, then the type
// library, as the module file carries them.
#include <windows.h>
#include <objbase.h>

#include <new>
#include <vector>

#include "comframe/class_table.h"
#include "comframe/module_state.h"
#include "registration/server_registration.h"
#include "registration/win32/module_script.h"
#include "registration/win32/type_library.h"

namespace {

class ModuleRegistration : public vrpph::ServerRegistrationSteps {
 public:
  explicit ModuleRegistration(HMODULE module) : module_(module) {}
  vrpph::HResult ApplyClassScript(int scriptId, bool doRegister) override {
    return vrpph::RegisterFromScript(module_, scriptId, doRegister);
  }
  vrpph::HResult RegisterTypeLibrary() override { return vrpph::RegisterTypeLibrary(module_); }
  void UnregisterTypeLibrary() override { vrpph::UnregisterTypeLibrary(module_); }

 private:
  HMODULE module_;
};

}  // namespace

STDAPI DllRegisterServer() {
  try {
    vrpph::comframe::ModuleState& module = vrpph::comframe::Module();
    const std::vector<int> scripts = vrpph::comframe::ClassScripts(module);
    ModuleRegistration steps(module.Instance());
    return vrpph::RegisterServer(scripts, steps);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

STDAPI DllUnregisterServer() {
  try {
    vrpph::comframe::ModuleState& module = vrpph::comframe::Module();
    const std::vector<int> scripts = vrpph::comframe::ClassScripts(module);
    ModuleRegistration steps(module.Instance());
    (void)vrpph::UnregisterServer(scripts, steps);
  } catch (const std::bad_alloc&) {
    // Nothing more can be removed; unregistering still reports success.
  }
  return S_OK;
}
