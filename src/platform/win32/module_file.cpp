#include "platform/win32/module_file.h"

namespace vrpph::platform {
namespace {

template <typename Char, typename Get>
std::optional<std::basic_string<Char>> ModuleFileName(HMODULE module, Get get) {
  Char buffer[MAX_PATH];
  const DWORD length = get(module, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    if (length >= MAX_PATH) SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return std::nullopt;
  }
  return std::basic_string<Char>(buffer, length);
}

}  // namespace

std::optional<std::string> ModuleFileNameA(HMODULE module) { return ModuleFileName<char>(module, GetModuleFileNameA); }

std::optional<std::wstring> ModuleFileNameW(HMODULE module) {
  return ModuleFileName<wchar_t>(module, GetModuleFileNameW);
}

std::string ShortPathOf(const std::string& path) {
  char buffer[MAX_PATH];
  const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return path;
  return std::string(buffer, length);
}

}  // namespace vrpph::platform
