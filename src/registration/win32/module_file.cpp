#include "registration/win32/module_file.h"

#include "registration/hresults.h"

namespace vrpph {

std::optional<std::string> ModuleFileNameA(HMODULE module) {
  char buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameA(module, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    if (length >= MAX_PATH) SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return std::nullopt;
  }
  return std::string(buffer, length);
}

std::optional<std::wstring> ModuleFileNameW(HMODULE module) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    if (length >= MAX_PATH) SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return std::nullopt;
  }
  return std::wstring(buffer, length);
}

std::string ShortPathOf(const std::string& path) {
  char buffer[MAX_PATH];
  const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return path;
  return std::string(buffer, length);
}

HRESULT LastErrorResult() { return static_cast<HRESULT>(hresult::FromWin32(static_cast<long>(GetLastError()))); }

}  // namespace vrpph
