#include "platform/win32/win32_files.h"

#include <windows.h>

namespace vrpph::platform {

bool Win32Files::Exists(const std::string& path) const {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace vrpph::platform
