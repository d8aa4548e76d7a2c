// The loader's entry into the DLL.
#include <windows.h>

#include "comframe/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    vrpph::comframe::Module().Attach(instance);
    // Nothing here cares about threads; spare every thread start the call.
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    // A non-null `reserved` means the whole process is ending.
    vrpph::comframe::Module().Detach(reserved != nullptr);
  }
  return TRUE;
}
