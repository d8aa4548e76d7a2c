#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <vector>

namespace vrpph::platform {

namespace {

// HKey carries the HKEY's bits, the predefined roots included.
HKEY ToHkey(HKey key) { return reinterpret_cast<HKEY>(key); }
HKey FromHkey(HKEY key) { return reinterpret_cast<HKey>(key); }

}  // namespace

long Win32Registry::OpenKey(HKey parent, const char* path, std::uint32_t access, HKey* result) {
  HKEY opened = nullptr;
  const LONG rc = RegOpenKeyExA(ToHkey(parent), path, 0, access, &opened);
  if (result) *result = rc == ERROR_SUCCESS ? FromHkey(opened) : HKey{};
  return rc;
}

long Win32Registry::CreateKey(HKey parent, const char* path, const char* keyClass,
                              std::uint32_t access, HKey* result, bool* created) {
  HKEY opened = nullptr;
  DWORD disposition = 0;
  // The API's class parameter is declared writable but is only read.
  const LONG rc = RegCreateKeyExA(ToHkey(parent), path, 0, const_cast<char*>(keyClass),
                                  REG_OPTION_NON_VOLATILE, access, nullptr, &opened, &disposition);
  if (result) *result = rc == ERROR_SUCCESS ? FromHkey(opened) : HKey{};
  if (created) *created = rc == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
  return rc;
}

long Win32Registry::CloseKey(HKey key) { return RegCloseKey(ToHkey(key)); }

long Win32Registry::QueryValue(HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* size) {
  // DWORD is unsigned long here, not the seam's uint32_t: go through locals
  // and keep the API's null-pointer meanings.
  DWORD valueType = 0;
  DWORD valueSize = size ? *size : 0;
  const LONG rc = RegQueryValueExA(ToHkey(key), name, nullptr, type ? &valueType : nullptr, data,
                                   size ? &valueSize : nullptr);
  if (type) *type = valueType;
  if (size) *size = valueSize;
  return rc;
}

long Win32Registry::SetValue(HKey key, const char* name, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) {
  return RegSetValueExA(ToHkey(key), name, 0, type, data, size);
}

long Win32Registry::DeleteValue(HKey key, const char* name) {
  return RegDeleteValueA(ToHkey(key), name);
}

long Win32Registry::DeleteKey(HKey parent, const char* path) {
  return RegDeleteKeyA(ToHkey(parent), path);
}

long Win32Registry::EnumKey(HKey key, std::uint32_t index, std::string* name,
                            std::uint32_t capacity) {
  // One byte at least, so the API always gets a real buffer; a capacity of 0
  // still reports that the name does not fit.
  std::vector<char> buffer(capacity > 0 ? capacity : 1);
  DWORD length = capacity;
  const LONG rc = RegEnumKeyExA(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr,
                                nullptr, nullptr);
  if (rc == ERROR_SUCCESS && name) name->assign(buffer.data(), length);
  return rc;
}

long Win32Registry::QuerySubkeyCount(HKey key, std::uint32_t* count) {
  DWORD subkeys = 0;
  const LONG rc = RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  if (count) *count = rc == ERROR_SUCCESS ? subkeys : 0;
  return rc;
}

}  // namespace vrpph::platform
