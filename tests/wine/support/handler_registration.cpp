#include "wine/support/handler_registration.h"

#include <windows.h>

#include "wine/support/registration_guard.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {

HandlerRegistration::HandlerRegistration() : registerResult_(RunRegsvr32(VrpphDllPath(), false)), registered_(true) {}

HandlerRegistration::~HandlerRegistration() { Remove(); }

long HandlerRegistration::Remove() {
  if (!registered_) return 0;
  registered_ = false;
  return RunRegsvr32(VrpphDllPath(), true);
}

std::string HandlerRegistration::RegisteredModule() {
  char path[MAX_PATH * 2] = {};
  LONG size = sizeof path;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, "CLSID\\{E131C96E-4DDB-11D4-84B8-008048B33DEA}\\InprocServer32", path,
                     &size) != ERROR_SUCCESS) {
    return "";
  }
  return path;
}

}  // namespace vrpph::wine_tests
