// The fixed words of the script language: root keys, protected key names and
// the limits on names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/text.h"

namespace vrpph {

constexpr std::size_t kMaxValueNameBytes = 259;
constexpr std::size_t kMaxRememberedKeyChars = 259;

// The predefined key a root name stands for, any letter case.
std::optional<platform::HKey> ScriptRootKey(std::string_view name);

// "CLSID" and "TYPELIB": never deleted as a whole by the registrar.
bool IsProtectedKeyName(std::string_view name);

// Whether a key name holds a backslash, stepping by whole characters so that
// a trail byte of the value 0x5C does not count.
bool HasBackslash(const platform::Text& text, std::string_view name);

// Copies at most kMaxRememberedKeyChars whole characters of `name`; false
// when the name had to be cut.
bool RememberKeyName(const platform::Text& text, std::string_view name, std::string* remembered);

}  // namespace vrpph
