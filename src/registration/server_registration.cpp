#include "registration/server_registration.h"

namespace vrpph {

HResult RegisterServer(std::span<const int> scriptIds, ServerRegistrationSteps& steps) {
  for (int scriptId : scriptIds) {
    if (HResult hr = steps.ApplyClassScript(scriptId, true); hresult::Failed(hr)) return hr;
  }
  return steps.RegisterTypeLibrary();
}

HResult UnregisterServer(std::span<const int> scriptIds, ServerRegistrationSteps& steps) {
  for (int scriptId : scriptIds) {
    const bool otherModuleRegistered = steps.OtherViewRegisters(scriptId);
    (void)steps.ApplyClassScript(scriptId, false);
    if (otherModuleRegistered) steps.FillInOtherView(scriptId);
  }
  steps.UnregisterTypeLibrary();
  return hresult::Ok;
}

}  // namespace vrpph
