#include "registration/win32/registry_views.h"

#include <objbase.h>

#include <string>

#include "platform/registry.h"
#include "platform/win32/handles.h"

namespace vrpph {

std::uint32_t OtherRegistryView() {
  if constexpr (sizeof(void*) == 8) {
    return platform::access::View32;
  } else {
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) return 0;
    return platform::access::View64;
  }
}

bool ViewRegistersClass(std::uint32_t view, REFCLSID classId) {
  wchar_t classText[40] = {};
  if (StringFromGUID2(classId, classText, 40) == 0) return false;
  const std::wstring path = std::wstring(L"CLSID\\") + classText + L"\\InprocServer32";
  platform::UniqueKey key;
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

}  // namespace vrpph
