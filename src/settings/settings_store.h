// Reads and writes of the settings the module shares with the download
// manager. Every read opens its key afresh: nothing is cached.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace vrpph {

// The prompt's text buffer: at most 4095 bytes of text and a terminator.
using DialogText = std::array<char, 4096>;

// The value's bytes as text, terminated right after the stored data; none
// when the key cannot be opened for reading or the value cannot be read.
std::optional<std::string> ReadSettingString(platform::Registry& registry, platform::HKey root,
                                             const char* keyPath, const char* valueName);

// The same two reads from a key the caller holds open.
std::optional<std::string> ReadKeyString(platform::Registry& registry, platform::HKey key, const char* valueName);
std::optional<std::vector<std::uint8_t>> ReadKeyBinary(platform::Registry& registry, platform::HKey key,
                                                       const char* valueName);

// Stores `text` as REG_SZ (without terminator) under the main key, which is
// never created. False only when the main key could not be opened.
bool WriteSettingString(platform::Registry& registry, const char* valueName, const std::string& text);

// A 32-bit number under the current user; `fallback` for a missing key or
// value, or a value longer than 4 bytes. Shorter values fill the low bytes.
std::uint32_t ReadSettingDword(platform::Registry& registry, const char* keyPath, const char* valueName,
                               std::uint32_t fallback);

// Stores a REG_DWORD, creating the key (class "Vask") when missing.
bool WriteSettingDword(platform::Registry& registry, const char* keyPath, const char* valueName,
                       std::uint32_t number);

// Raw bytes of a main-key value, whatever its type; none when unreadable.
std::optional<std::vector<std::uint8_t>> ReadBinarySetting(platform::Registry& registry,
                                                           const char* valueName);

// Reads from a key the caller holds open into `buffer`: cleared first, empty
// when the value is missing, cut to its first 4095 bytes when longer.
void ReadOpenKeyText(platform::Registry& registry, platform::HKey key, const char* valueName,
                     DialogText& buffer);

// A number from a key the caller holds open; 0 when the value cannot be read
// or is longer than 4 bytes.
std::uint32_t ReadOpenKeyDword(platform::Registry& registry, platform::HKey key, const char* valueName);

// True exactly when `text` is present and equals `word` byte for byte.
bool IsFlag(const std::optional<std::string>& text, const char* word);

// DecodeURLs as stored: URLs are decoded unless it says exactly "FALSE".
bool UrlDecodingOn(const std::optional<std::string>& decodeSetting);

}  // namespace vrpph
