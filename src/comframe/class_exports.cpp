// The COM entry points that hand out class objects and report whether the
// DLL may be unloaded.
#include <windows.h>
#include <objbase.h>

#include "comframe/module_state.h"

STDAPI DllCanUnloadNow() {
  return vrpph::comframe::Module().CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID /*classId*/, REFIID /*interfaceId*/, LPVOID* object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  // The class table is still empty: no class id is ours yet.
  return CLASS_E_CLASSNOTAVAILABLE;
}
