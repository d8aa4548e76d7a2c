// Self-registration entry points: each class's script, then the type
// library, as the module file carries them.
#include <windows.h>
#include <objbase.h>

#include <new>
#include <vector>

#include "comframe/class_table.h"
#include "comframe/module_state.h"
#include "platform/no_throw.h"
#include "registration/server_registration.h"
#include "registration/win32/module_script.h"
#include "registration/win32/registry_views.h"
#include "registration/win32/type_library.h"

namespace {

class ModuleRegistration : public vrpph::ServerRegistrationSteps {
 public:
  ModuleRegistration(HMODULE module, const vrpph::comframe::ClassTableEntry* classes)
      : module_(module), classes_(classes) {}
  vrpph::HResult ApplyClassScript(int scriptId, bool doRegister) override {
    return vrpph::RegisterFromScript(module_, scriptId, doRegister);
  }
  vrpph::HResult RegisterTypeLibrary() override { return vrpph::RegisterTypeLibrary(module_); }
  void UnregisterTypeLibrary() override { vrpph::UnregisterTypeLibrary(module_); }
  bool OtherViewRegisters(int scriptId) override {
    const CLSID* classId = ClassOfScript(scriptId);
    return otherView_ != 0 && classId && vrpph::ViewRegistersClass(otherView_, *classId);
  }
  void FillInOtherView(int scriptId) override { (void)vrpph::FillInFromScript(module_, scriptId, otherView_); }

 private:
  const CLSID* ClassOfScript(int scriptId) const {
    for (const vrpph::comframe::ClassTableEntry* row = classes_; row && row->classId; ++row) {
      if (row->registryScript == scriptId) return row->classId;
    }
    return nullptr;
  }

  HMODULE module_;
  const vrpph::comframe::ClassTableEntry* classes_;
  std::uint32_t otherView_ = vrpph::OtherRegistryView();
};

}  // namespace

STDAPI DllRegisterServer() {
  return vrpph::NoThrow(E_OUTOFMEMORY, [] {
    vrpph::comframe::ModuleState& module = vrpph::comframe::Module();
    const std::vector<int> scripts = vrpph::comframe::ClassScripts(module);
    ModuleRegistration steps(module.Instance(), module.ClassTable());
    return static_cast<HRESULT>(vrpph::RegisterServer(scripts, steps));
  });
}

// Running out of memory half way leaves some entries behind; the caller is
// told, and may unregister again.
STDAPI DllUnregisterServer() {
  return vrpph::NoThrow(E_OUTOFMEMORY, [] {
    vrpph::comframe::ModuleState& module = vrpph::comframe::Module();
    const std::vector<int> scripts = vrpph::comframe::ClassScripts(module);
    ModuleRegistration steps(module.Instance(), module.ClassTable());
    return static_cast<HRESULT>(vrpph::UnregisterServer(scripts, steps));
  });
}
