#include "interception/intercepted_url.h"

#include <cstdint>
#include <cstring>

#include "settings/contact_points.h"
#include "settings/settings_store.h"
#include "settings/wide_to_ansi.h"

namespace vrpph {

std::optional<std::string> InterceptedUrl(const platform::Text& text, const char16_t* url,
                                          const std::optional<std::string>& decodeSetting) {
  std::optional<std::string> converted = WideToAnsi(text, url);
  if (!converted || IsFlag(decodeSetting, values::False)) return converted;
  if (converted->find('?') != std::string::npos) return converted;
  // Exactly the input's length plus one: a canonical form that needs more
  // room fails, and the URL goes on undecoded.
  std::string buffer(converted->size() + 1, '\0');
  auto length = static_cast<std::uint32_t>(buffer.size());
  if (!text.CanonicalizeUrl(converted->c_str(), buffer.data(), &length,
                            platform::canonicalize::Decode | platform::canonicalize::NoEncode)) {
    return converted;
  }
  buffer.resize(std::strlen(buffer.c_str()));
  return buffer;
}

}  // namespace vrpph
