// The key combinations that steer every road at the moment of a click:
// KeysToIgnore leaves the download to the browser, KeysToAdd forces it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/keyboard.h"
#include "settings/settings_key.h"

namespace vrpph {

namespace virtual_key {
constexpr std::uint8_t Shift = 0x10;
constexpr std::uint8_t Control = 0x11;
constexpr std::uint8_t Menu = 0x12;
constexpr std::uint8_t LeftShift = 0xA0;
constexpr std::uint8_t RightShift = 0xA1;
constexpr std::uint8_t LeftControl = 0xA2;
constexpr std::uint8_t RightControl = 0xA3;
constexpr std::uint8_t LeftMenu = 0xA4;
constexpr std::uint8_t RightMenu = 0xA5;
}  // namespace virtual_key

// The combination used when the value is absent or empty.
std::span<const std::uint8_t> DefaultKeyCombo(const char* valueName);

// The stored combination `valueName` (KeysToAdd or KeysToIgnore), or its
// default when absent or empty.
std::vector<std::uint8_t> StoredKeyCombo(const SettingsKey& settings, const char* valueName);

// True exactly when every listed key is down and nothing else is: no other
// key and no mouse button. The left and right variants of a listed Shift,
// Ctrl or Alt count as that key; a code listed twice can never be held.
bool ComboHeld(platform::KeyStateTable table, std::span<const std::uint8_t> codes);

// Takes a fresh snapshot of the calling thread's keys and tests the stored
// combination `valueName` (KeysToIgnore or KeysToAdd) against it.
bool KeyComboHeld(const platform::Keyboard& keyboard, const SettingsKey& settings, const char* valueName);

}  // namespace vrpph
