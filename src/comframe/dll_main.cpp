// The loader's entry into the DLL.
#include <windows.h>

#include "comframe/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    vrpph::comframe::Module().Attach(instance);
    // Nothing here cares about threads; spare every thread start the call.
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
