#include "win32_manifest_files.h"

#include <windows.h>

#include "platform/win32/handles.h"

namespace vrpph::bridge {
namespace {

std::string Narrow(const std::wstring& text, UINT codePage) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  if (size <= 0) return {};
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), narrow.data(), size, nullptr,
                      nullptr);
  return narrow;
}

// Manifest names are ASCII.
std::wstring Widened(const char* name) { return std::wstring(name, name + std::char_traits<char>::length(name)); }

}  // namespace

std::string ToUtf8(const std::wstring& text) { return Narrow(text, CP_UTF8); }
std::string ToAnsi(const std::wstring& text) { return Narrow(text, CP_ACP); }

std::wstring ProgramPath() {
  // Long paths: ask with a growing buffer up to the longest path there is.
  for (DWORD capacity = MAX_PATH; capacity <= 32768; capacity *= 2) {
    std::wstring path(capacity, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), capacity);
    if (length == 0) return {};
    if (length < capacity) {
      path.resize(length);
      return path;
    }
  }
  return {};
}

std::wstring FolderOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring Win32ManifestFiles::PathOf(const char* name) const { return folder_ + Widened(name); }

bool Win32ManifestFiles::Write(const char* name, const std::string& contents) {
  const platform::UniqueFile file(CreateFileW(PathOf(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) &&
         written == contents.size();
}

bool Win32ManifestFiles::Remove(const char* name) {
  return DeleteFileW(PathOf(name).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

std::string Win32ManifestFiles::AnsiPath(const char* name) const { return ToAnsi(PathOf(name)); }

}  // namespace vrpph::bridge
