#include "registration/server_registration.h"

namespace vrpph {

HResult RegisterServer(std::span<const int> scriptIds, ServerRegistrationSteps& steps) {
  for (int scriptId : scriptIds) {
    if (HResult hr = steps.ApplyClassScript(scriptId, true); hresult::Failed(hr)) return hr;
  }
  return steps.RegisterTypeLibrary();
}

HResult UnregisterServer(std::span<const int> scriptIds, ServerRegistrationSteps& steps) {
  for (int scriptId : scriptIds) (void)steps.ApplyClassScript(scriptId, false);
  steps.UnregisterTypeLibrary();
  return hresult::Ok;
}

}  // namespace vrpph
