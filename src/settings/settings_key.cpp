#include "settings/settings_key.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "settings/contact_points.h"

namespace vrpph {

namespace status = platform::status;
using platform::access::AllAccess;
using platform::access::Read;

namespace {

// Room for a typical value on the stack: most reads then take one query
// instead of a size query and a read, and each query is a round trip to the
// registry's server. A longer value is read again at its own size.
constexpr std::uint32_t kInlineValueBytes = 1024;

}  // namespace

SettingsKey SettingsKey::Main(platform::Registry& registry, Access access) {
  return User(registry, keys::Main, access);
}

SettingsKey SettingsKey::User(platform::Registry& registry, const char* path, Access access) {
  return Open(registry, platform::root::CurrentUser, path, access);
}

SettingsKey SettingsKey::Open(platform::Registry& registry, platform::HKey root, const char* path, Access access,
                              std::uint32_t view) {
  long rc = status::Success;
  platform::RegKey key =
      platform::OpenRegKey(registry, root, path, (access == Access::Read ? Read : AllAccess) | view, &rc);
  return SettingsKey(registry, std::move(key), rc);
}

SettingsKey SettingsKey::Create(platform::Registry& registry, const char* path) {
  platform::HKey handle{};
  const long rc = registry.CreateKey(platform::root::CurrentUser, path, keys::CreatedKeyClass, AllAccess, &handle,
                                     nullptr);
  return SettingsKey(registry, rc == status::Success ? platform::RegKey(registry, handle) : platform::RegKey(), rc);
}

Setting<std::string> SettingsKey::Query(const char* name) const {
  if (!key_) return {status_, std::nullopt};
  std::array<std::uint8_t, kInlineValueBytes> first;
  std::uint32_t size = kInlineValueBytes;
  long rc = registry_->QueryValue(key_.get(), name, nullptr, first.data(), &size);
  if (rc == status::Success) {
    return {rc, std::string(reinterpret_cast<const char*>(first.data()), std::min(size, kInlineValueBytes))};
  }
  if (rc != status::MoreData) return {rc, std::nullopt};
  std::string bytes(size, '\0');
  std::uint32_t read = size;
  rc = registry_->QueryValue(key_.get(), name, nullptr, reinterpret_cast<std::uint8_t*>(bytes.data()), &read);
  // A value that grew between the two queries cannot be read whole: nothing,
  // rather than a cut or stale text.
  if (rc != status::Success) return {rc, std::nullopt};
  bytes.resize(std::min(read, size));
  return {rc, std::move(bytes)};
}

Setting<std::string> SettingsKey::Text(const char* name) const {
  Setting<std::string> text = Query(name);
  // The stored data may end in its terminator or not; the text ends at the first NUL.
  if (text.value) text.value->resize(std::strlen(text.value->c_str()));
  return text;
}

Setting<std::vector<std::uint8_t>> SettingsKey::Bytes(const char* name) const {
  Setting<std::string> bytes = Query(name);
  if (!bytes.value) return {bytes.status, std::nullopt};
  return {bytes.status, std::vector<std::uint8_t>(bytes.value->begin(), bytes.value->end())};
}

Setting<std::uint32_t> SettingsKey::Dword(const char* name) const {
  if (!key_) return {status_, std::nullopt};
  std::uint8_t bytes[4] = {};
  std::uint32_t size = sizeof bytes;
  const long rc = registry_->QueryValue(key_.get(), name, nullptr, bytes, &size);
  if (rc != status::Success) return {rc, std::nullopt};
  return {rc, static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                  (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24)};
}

long SettingsKey::WriteText(const char* name, const std::string& text) const {
  if (!key_) return status_;
  return registry_->SetValue(key_.get(), name, platform::value_type::Sz,
                             reinterpret_cast<const std::uint8_t*>(text.data()),
                             static_cast<std::uint32_t>(text.size()));
}

long SettingsKey::WriteDword(const char* name, std::uint32_t number) const {
  if (!key_) return status_;
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                                 static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
  return registry_->SetValue(key_.get(), name, platform::value_type::Dword, bytes, sizeof bytes);
}

}  // namespace vrpph
