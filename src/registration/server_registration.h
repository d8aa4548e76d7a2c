// The order of DllRegisterServer and DllUnregisterServer over the class
// scripts and the type library, and which failures count.
#pragma once

#include <span>

#include "registration/hresults.h"

namespace vrpph {

// The steps themselves, as the module carries them out.
class ServerRegistrationSteps {
 public:
  virtual ~ServerRegistrationSteps() = default;
  // Runs the class script with this resource id in register or unregister mode.
  virtual HResult ApplyClassScript(int scriptId, bool doRegister) = 0;
  virtual HResult RegisterTypeLibrary() = 0;
  virtual void UnregisterTypeLibrary() = 0;
  // Whether the other registry view (the other architecture's module on
  // 64-bit Windows) registers this script's class: its InprocServer32 key is
  // there. False where there is no other view.
  virtual bool OtherViewRegisters(int scriptId) = 0;
  // Runs the script's register pass into the other view, filling in only
  // what is missing there (FillInRegistry).
  virtual void FillInOtherView(int scriptId) = 0;
};

// Each script in order, then the type library. The first failure is the
// result and stops the rest; what was registered before it stays (a failed
// script has already rolled its own work back).
HResult RegisterServer(std::span<const int> scriptIds, ServerRegistrationSteps& steps);

// Each script in order, then the type library, whatever each step answers:
// unregistering cannot fail. Where the other view still registers a class,
// whatever of it both views share (the name-space handler entries; the
// ProgIDs on Windows) is written back after its script has run: the other
// module still needs it.
HResult UnregisterServer(std::span<const int> scriptIds, ServerRegistrationSteps& steps);

}  // namespace vrpph
