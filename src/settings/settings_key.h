// The one way the module reads and writes the settings it shares with the
// download manager: a key opened for one use (the main key being the common
// case), whose every read and write goes to the registry afresh and reports
// the registry's status. Nothing is cached between uses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace vrpph {

// A value read with the registry's status beside it; the value is there
// exactly when the read succeeded.
template <typename T>
struct Setting {
  long status = platform::status::FileNotFound;
  std::optional<T> value;

  explicit operator bool() const { return value.has_value(); }
  const T& operator*() const { return *value; }
  const T* operator->() const { return &*value; }
  // Most readers only want the value, or nothing.
  operator std::optional<T>() const { return value; }
  template <typename U>
  T value_or(U&& fallback) const {
    return value.value_or(std::forward<U>(fallback));
  }
};

class SettingsKey {
 public:
  enum class Access { Read, ReadWrite };

  // No key: every read answers FileNotFound, every write too.
  SettingsKey() = default;

  // HKEY_CURRENT_USER\Software\Quorvane\Trevalon, never created here.
  static SettingsKey Main(platform::Registry& registry, Access access = Access::Read);
  // `path` below HKEY_CURRENT_USER, or below `root`.
  static SettingsKey User(platform::Registry& registry, const char* path, Access access = Access::Read);
  // `view` (access::View32 or View64) picks a registry view of 64-bit Windows.
  static SettingsKey Open(platform::Registry& registry, platform::HKey root, const char* path, Access access,
                          std::uint32_t view = 0);
  // `path` below HKEY_CURRENT_USER, made (with the class the module gives its
  // keys) when it is missing, for writing.
  static SettingsKey Create(platform::Registry& registry, const char* path);

  // The status of opening the key; Success when it is open.
  [[nodiscard]] long status() const { return status_; }
  explicit operator bool() const { return static_cast<bool>(key_); }

  // The stored bytes as a text that ends at its first NUL.
  [[nodiscard]] Setting<std::string> Text(const char* name) const;
  // The stored bytes as they are, whatever the value's type.
  [[nodiscard]] Setting<std::vector<std::uint8_t>> Bytes(const char* name) const;
  // A value of at most 4 bytes as a little-endian number (a shorter one
  // fills the low bytes); a longer value reads as MoreData.
  [[nodiscard]] Setting<std::uint32_t> Dword(const char* name) const;

  // REG_SZ of the text's bytes (no terminator); REG_DWORD of the number.
  long WriteText(const char* name, const std::string& text) const;
  long WriteDword(const char* name, std::uint32_t number) const;

 private:
  SettingsKey(platform::Registry& registry, platform::RegKey key, long status)
      : registry_(&registry), key_(std::move(key)), status_(status) {}
  Setting<std::string> Query(const char* name) const;

  platform::Registry* registry_ = nullptr;
  platform::RegKey key_;
  long status_ = platform::status::FileNotFound;
};

}  // namespace vrpph
