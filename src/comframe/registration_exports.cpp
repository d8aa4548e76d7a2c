// Self-registration entry points. No class has a registration script yet,
// so there is nothing to write or remove.
#include <windows.h>
#include <objbase.h>

STDAPI DllRegisterServer() { return S_OK; }

STDAPI DllUnregisterServer() { return S_OK; }
