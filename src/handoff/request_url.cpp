#include "handoff/request_url.h"

#include <cstdint>

#include "settings/contact_points.h"
#include "settings/settings_store.h"
#include "settings/wide_to_ansi.h"

namespace vrpph {

std::optional<std::string> DecodeRequestUrl(platform::Registry& registry, const platform::Text& text,
                                            const char16_t* url, Producer producer) {
  return DecodeRequestUrl(text, url, producer,
                          ReadSettingString(registry, platform::root::CurrentUser, keys::Main, values::DecodeUrls));
}

std::optional<std::string> DecodeRequestUrl(const platform::Text& text, const char16_t* url, Producer producer,
                                            const std::optional<std::string>& decodeSetting) {
  std::optional<std::string> converted = WideToAnsi(text, url);
  if (!converted || IsFlag(decodeSetting, values::False)) return converted;
  if (producer == Producer::Interception && converted->find('?') != std::string::npos) return converted;

  // Decoding never lengthens a URL, so the input's length plus one is room
  // enough; a canonical form that needs more is sent undecoded.
  std::string buffer(converted->size() + 1, '\0');
  auto length = static_cast<std::uint32_t>(buffer.size());
  if (!text.CanonicalizeUrl(converted->c_str(), buffer.data(), &length,
                            platform::canonicalize::Decode | platform::canonicalize::NoEncode)) {
    return converted;
  }
  return std::string(buffer.c_str());
}

}  // namespace vrpph
