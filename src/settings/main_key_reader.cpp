#include "settings/main_key_reader.h"

#include "settings/contact_points.h"
#include "settings/settings_store.h"

namespace vrpph {

const platform::RegKey& MainKeyReader::Key() {
  if (!opened_) {
    key_ = platform::OpenRegKey(registry_, platform::root::CurrentUser, keys::Main, platform::access::Read);
    opened_ = true;
  }
  return key_;
}

std::optional<std::string> MainKeyReader::Text(const char* valueName) {
  const platform::RegKey& key = Key();
  if (!key) return std::nullopt;
  return ReadKeyString(registry_, key.get(), valueName);
}

std::optional<std::vector<std::uint8_t>> MainKeyReader::Bytes(const char* valueName) {
  const platform::RegKey& key = Key();
  if (!key) return std::nullopt;
  return ReadKeyBinary(registry_, key.get(), valueName);
}

}  // namespace vrpph
