// An open registry key, closed when its owner goes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace browser_host {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }

  // The subkey `path` of `parent` opened for reading, or none.
  static std::optional<RegistryKey> Open(HKEY parent, const std::wstring& path);

  [[nodiscard]] HKEY get() const { return key_; }
  // The names of the direct subkeys, in the registry's order.
  [[nodiscard]] std::vector<std::wstring> SubkeyNames() const;
  // A REG_SZ or REG_EXPAND_SZ value as text ("" names the default value);
  // none when it is missing or of another type.
  [[nodiscard]] std::optional<std::wstring> Text(const wchar_t* name) const;

 private:
  explicit RegistryKey(HKEY key) : key_(key) {}
  HKEY key_ = nullptr;
};

}  // namespace browser_host
