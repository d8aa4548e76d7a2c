#include "sequence/key_rules.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "settings/contact_points.h"

namespace vrpph {

namespace {

constexpr std::uint8_t kDown = 0x80;

constexpr std::array<std::uint8_t, 1> kIgnoreDefault = {virtual_key::Shift};
constexpr std::array<std::uint8_t, 2> kAddDefault = {virtual_key::Menu, virtual_key::Control};

constexpr std::array<std::array<std::uint8_t, 3>, 3> kSiblingGroups = {{
    {virtual_key::Shift, virtual_key::LeftShift, virtual_key::RightShift},
    {virtual_key::Control, virtual_key::LeftControl, virtual_key::RightControl},
    {virtual_key::Menu, virtual_key::LeftMenu, virtual_key::RightMenu},
}};

void ClearSiblings(platform::KeyStateTable& table, std::uint8_t code) {
  for (const auto& group : kSiblingGroups) {
    if (std::find(group.begin(), group.end(), code) == group.end()) continue;
    for (std::uint8_t sibling : group) table[sibling] = 0;
  }
}

bool AnyDown(const platform::KeyStateTable& table) {
  return std::any_of(table.begin(), table.end(), [](std::uint8_t entry) { return (entry & kDown) != 0; });
}

}  // namespace

std::span<const std::uint8_t> DefaultKeyCombo(const char* valueName) {
  if (std::strcmp(valueName, values::KeysToIgnore) == 0) return kIgnoreDefault;
  return kAddDefault;
}

std::vector<std::uint8_t> StoredKeyCombo(const SettingsKey& settings, const char* valueName) {
  auto stored = settings.Bytes(valueName);
  if (stored && !stored->empty()) return std::move(*stored);
  const auto fallback = DefaultKeyCombo(valueName);
  return {fallback.begin(), fallback.end()};
}

bool ComboHeld(platform::KeyStateTable table, std::span<const std::uint8_t> codes) {
  std::uint8_t held = kDown;
  // Last code first; each look clears the entry (and its siblings), so a
  // key named twice finds itself already up.
  for (auto code = codes.rbegin(); code != codes.rend() && held != 0; ++code) {
    held &= table[*code];
    table[*code] = 0;
    ClearSiblings(table, *code);
  }
  return held != 0 && !AnyDown(table);
}

bool KeyComboHeld(const platform::Keyboard& keyboard, const SettingsKey& settings, const char* valueName) {
  platform::KeyStateTable table{};
  keyboard.GetKeyState(table);
  // Every combination names at least one key, so with nothing down none can
  // be held: the stored value need not be read.
  if (!AnyDown(table)) return false;
  return ComboHeld(table, StoredKeyCombo(settings, valueName));
}

}  // namespace vrpph
