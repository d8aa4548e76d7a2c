// The COM entry points that hand out class objects and report whether the
// DLL may be unloaded.
#include <windows.h>
#include <objbase.h>

#include "comframe/class_table.h"
#include "comframe/module_state.h"
#include "platform/no_throw.h"

STDAPI DllCanUnloadNow() {
  return vrpph::comframe::Module().CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID interfaceId, LPVOID* object) {
  return vrpph::NoThrow(E_OUTOFMEMORY, [&] {
    return vrpph::comframe::GetClassObject(vrpph::comframe::Module(), classId, interfaceId, object);
  });
}
