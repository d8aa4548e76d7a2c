// The registry as the module sees it: the Reg* calls with their own status
// codes, so that callers keep the exact failure rules of the real API.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace vrpph::platform {

// An open key. Values are the platform's own handles on Windows; the
// predefined roots carry the platform's fixed values.
using HKey = std::uintptr_t;

namespace root {
constexpr HKey ClassesRoot = 0x80000000u;
constexpr HKey CurrentUser = 0x80000001u;
constexpr HKey LocalMachine = 0x80000002u;
constexpr HKey Users = 0x80000003u;
constexpr HKey PerformanceData = 0x80000004u;
constexpr HKey CurrentConfig = 0x80000005u;
constexpr HKey DynData = 0x80000006u;
}  // namespace root

// Win32 error codes as the Reg* functions return them.
namespace status {
constexpr long Success = 0;
constexpr long FileNotFound = 2;
constexpr long AccessDenied = 5;
constexpr long InvalidHandle = 6;
constexpr long OutOfMemory = 14;
constexpr long InvalidParameter = 87;
constexpr long MoreData = 234;
constexpr long NoMoreItems = 259;
constexpr long KeyDeleted = 1018;
}  // namespace status

namespace value_type {
constexpr std::uint32_t None = 0;
constexpr std::uint32_t Sz = 1;
constexpr std::uint32_t Binary = 3;
constexpr std::uint32_t Dword = 4;
}  // namespace value_type

namespace access {
constexpr std::uint32_t Read = 0x20019;
constexpr std::uint32_t Write = 0x20006;
constexpr std::uint32_t AllAccess = 0xF003F;
// Added to an access mask on 64-bit Windows: the 64-bit or the 32-bit view
// of the keys that each architecture sees apart (HKCR\CLSID, HKLM\Software).
constexpr std::uint32_t View64 = 0x0100;
constexpr std::uint32_t View32 = 0x0200;
}  // namespace access

class Registry {
 public:
  virtual ~Registry() = default;

  // RegOpenKeyExA. An empty or null path opens a new handle to `parent`.
  virtual long OpenKey(HKey parent, const char* path, std::uint32_t access, HKey* result) = 0;
  // RegCreateKeyExA, non-volatile, default security. `created` may be null.
  virtual long CreateKey(HKey parent, const char* path, const char* keyClass, std::uint32_t access,
                         HKey* result, bool* created) = 0;
  virtual long CloseKey(HKey key) = 0;
  // RegQueryValueExA: a null or empty name is the key's default value. With a
  // null `data` only the size is reported; a buffer too small gives MoreData
  // and the needed size.
  virtual long QueryValue(HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* size) = 0;
  // RegSetValueExA.
  virtual long SetValue(HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t size) = 0;
  // RegDeleteValueA.
  virtual long DeleteValue(HKey key, const char* name) = 0;
  // RegDeleteKeyA: fails when the key still has subkeys.
  virtual long DeleteKey(HKey parent, const char* path) = 0;
  // RegEnumKeyExA: the name of subkey `index`, at most `capacity` - 1 bytes.
  virtual long EnumKey(HKey key, std::uint32_t index, std::string* name, std::uint32_t capacity) = 0;
  // RegQueryInfoKeyA, the subkey count only.
  virtual long QuerySubkeyCount(HKey key, std::uint32_t* count) = 0;
};

// Owns one open key and closes it through its registry. Move-only.
class RegKey {
 public:
  RegKey() = default;
  RegKey(Registry& registry, HKey key) : registry_(&registry), key_(key) {}
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  RegKey(RegKey&& other) noexcept
      : registry_(other.registry_), key_(std::exchange(other.key_, HKey{})) {}
  RegKey& operator=(RegKey&& other) noexcept {
    if (this != &other) {
      Reset();
      registry_ = other.registry_;
      key_ = std::exchange(other.key_, HKey{});
    }
    return *this;
  }
  ~RegKey() { Reset(); }

  [[nodiscard]] HKey get() const { return key_; }
  explicit operator bool() const { return key_ != HKey{}; }

  // Closes the key now; the close's status, Success when nothing was open.
  long Reset() {
    if (key_ == HKey{}) return status::Success;
    return registry_->CloseKey(std::exchange(key_, HKey{}));
  }

 private:
  Registry* registry_ = nullptr;
  HKey key_{};
};

// Opens `path` below `parent`; `status` (if given) receives the result.
[[nodiscard]] inline RegKey OpenRegKey(Registry& registry, HKey parent, const char* path,
                                       std::uint32_t access, long* result = nullptr) {
  HKey key{};
  long rc = registry.OpenKey(parent, path, access, &key);
  if (result) *result = rc;
  return rc == status::Success ? RegKey(registry, key) : RegKey();
}

}  // namespace vrpph::platform
