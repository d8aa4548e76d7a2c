#include "settings/settings_store.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "settings/contact_points.h"

namespace vrpph {

using platform::RegKey;
namespace status = platform::status;
namespace access = platform::access;

namespace {

// Reads a value of at most 4 bytes as a little-endian number; none when it
// is missing or longer.
std::optional<std::uint32_t> ReadDword(platform::Registry& registry, platform::HKey key,
                                       const char* valueName) {
  std::uint8_t bytes[4] = {};
  std::uint32_t size = sizeof bytes;
  if (registry.QueryValue(key, valueName, nullptr, bytes, &size) != status::Success) return std::nullopt;
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// Room for a typical value on the stack: most reads then take one query
// instead of a size query and a read, and each query is a round trip to
// the registry's server. A longer value is read again at its own size.
constexpr std::uint32_t kInlineValueBytes = 1024;

// The value's stored bytes, whatever its type; none when it cannot be read.
std::optional<std::string> QueryValueBytes(platform::Registry& registry, platform::HKey key, const char* valueName) {
  std::array<std::uint8_t, kInlineValueBytes> first;
  std::uint32_t size = kInlineValueBytes;
  const long rc = registry.QueryValue(key, valueName, nullptr, first.data(), &size);
  if (rc == status::Success) {
    return std::string(reinterpret_cast<const char*>(first.data()), std::min(size, kInlineValueBytes));
  }
  if (rc != status::MoreData) return std::nullopt;
  std::string bytes(size, '\0');
  std::uint32_t read = size;
  if (registry.QueryValue(key, valueName, nullptr, reinterpret_cast<std::uint8_t*>(bytes.data()), &read) !=
      status::Success) {
    return std::nullopt;
  }
  bytes.resize(std::min(read, size));
  return bytes;
}

}  // namespace

std::optional<std::string> ReadKeyString(platform::Registry& registry, platform::HKey key, const char* valueName) {
  std::optional<std::string> text = QueryValueBytes(registry, key, valueName);
  // The stored data may end in its terminator or not; the text ends at the first NUL.
  if (text) text->resize(std::strlen(text->c_str()));
  return text;
}

std::optional<std::string> ReadSettingString(platform::Registry& registry, platform::HKey root,
                                             const char* keyPath, const char* valueName) {
  RegKey key = platform::OpenRegKey(registry, root, keyPath, access::Read);
  if (!key) return std::nullopt;
  return ReadKeyString(registry, key.get(), valueName);
}

bool WriteSettingString(platform::Registry& registry, const char* valueName, const std::string& text) {
  RegKey key = platform::OpenRegKey(registry, platform::root::CurrentUser, keys::Main, access::AllAccess);
  if (!key) return false;
  registry.SetValue(key.get(), valueName, platform::value_type::Sz,
                    reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size()));
  return true;
}

std::uint32_t ReadSettingDword(platform::Registry& registry, const char* keyPath, const char* valueName,
                               std::uint32_t fallback) {
  RegKey key = platform::OpenRegKey(registry, platform::root::CurrentUser, keyPath, access::Read);
  if (!key) return fallback;
  return ReadDword(registry, key.get(), valueName).value_or(fallback);
}

bool WriteSettingDword(platform::Registry& registry, const char* keyPath, const char* valueName,
                       std::uint32_t number) {
  platform::HKey handle{};
  if (registry.CreateKey(platform::root::CurrentUser, keyPath, keys::CreatedKeyClass, access::AllAccess,
                         &handle, nullptr) != status::Success) {
    return false;
  }
  RegKey key(registry, handle);
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                                 static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
  return registry.SetValue(key.get(), valueName, platform::value_type::Dword, bytes, sizeof bytes) ==
         status::Success;
}

std::optional<std::vector<std::uint8_t>> ReadKeyBinary(platform::Registry& registry, platform::HKey key,
                                                       const char* valueName) {
  std::optional<std::string> bytes = QueryValueBytes(registry, key, valueName);
  if (!bytes) return std::nullopt;
  return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

std::optional<std::vector<std::uint8_t>> ReadBinarySetting(platform::Registry& registry,
                                                           const char* valueName) {
  RegKey key = platform::OpenRegKey(registry, platform::root::CurrentUser, keys::Main, access::Read);
  if (!key) return std::nullopt;
  return ReadKeyBinary(registry, key.get(), valueName);
}

void ReadOpenKeyText(platform::Registry& registry, platform::HKey key, const char* valueName,
                     DialogText& buffer) {
  buffer.fill('\0');
  if (key == platform::HKey{}) return;
  const std::optional<std::string> bytes = QueryValueBytes(registry, key, valueName);
  if (!bytes) return;
  // A longer value keeps its first 4095 bytes.
  std::memcpy(buffer.data(), bytes->data(), std::min(buffer.size() - 1, bytes->size()));
}

std::uint32_t ReadOpenKeyDword(platform::Registry& registry, platform::HKey key, const char* valueName) {
  if (key == platform::HKey{}) return 0;
  return ReadDword(registry, key, valueName).value_or(0);
}

bool UrlDecodingOn(const std::optional<std::string>& decodeSetting) { return !IsFlag(decodeSetting, values::False); }

bool IsFlag(const std::optional<std::string>& text, const char* word) { return text && *text == word; }

}  // namespace vrpph
