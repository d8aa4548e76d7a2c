#include "registry_key.h"

#include <vector>

namespace browser_host {

std::optional<RegistryKey> RegistryKey::Open(HKEY parent, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  return RegistryKey(key);
}

std::vector<std::wstring> RegistryKey::SubkeyNames() const {
  std::vector<std::wstring> names;
  // Key names are at most 255 characters.
  wchar_t name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(std::size(name));
    const LONG status = RegEnumKeyExW(key_.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

std::optional<std::wstring> RegistryKey::Text(const wchar_t* name) const {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key_.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  // Room for a terminator the stored data may lack.
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  DWORD filled = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
  if (RegQueryValueExW(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &filled) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring text(data.data(), filled / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

}  // namespace browser_host
