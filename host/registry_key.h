// An open registry key, closed when its owner goes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace browser_host {

class RegistryKey {
 public:
  // The subkey `path` of `parent` opened for reading, or none.
  static std::optional<RegistryKey> Open(HKEY parent, const std::wstring& path);

  [[nodiscard]] HKEY get() const { return key_.get(); }
  // The names of the direct subkeys, in the registry's order.
  [[nodiscard]] std::vector<std::wstring> SubkeyNames() const;
  // A REG_SZ or REG_EXPAND_SZ value as text ("" names the default value);
  // none when it is missing or of another type.
  [[nodiscard]] std::optional<std::wstring> Text(const wchar_t* name) const;

 private:
  explicit RegistryKey(HKEY key) : key_(key) {}
  vrpph::platform::UniqueKey key_;
};

}  // namespace browser_host
