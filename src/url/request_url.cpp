#include "url/request_url.h"

#include <cstdint>
#include <string_view>

#include "core/record_field.h"
#include "platform/wide_to_ansi.h"

namespace vrpph {
namespace {

// True when `url` holds an escape of CR, LF or NUL ("%0D", "%0a", "%00").
bool EscapesALineBreak(std::string_view url) {
  for (std::size_t at = url.find('%'); at != std::string_view::npos && at + 2 < url.size();
       at = url.find('%', at + 1)) {
    const char high = url[at + 1];
    const char low = static_cast<char>(url[at + 2] | 0x20);
    if (high == '0' && (low == 'd' || low == 'a' || low == '0')) return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> DecodeRequestUrl(const platform::Text& text, const char16_t* url, Producer producer,
                                            bool decode) {
  std::optional<std::string> converted = WideToAnsi(text, url);
  if (!converted || !FitsInRecordField(*converted)) return std::nullopt;
  if (!decode || EscapesALineBreak(*converted)) return converted;
  if (producer == Producer::Interception && converted->find('?') != std::string::npos) return converted;

  // Decoding never lengthens a URL, so the input's length plus one is room
  // enough; a canonical form that needs more is sent undecoded.
  std::string buffer(converted->size() + 1, '\0');
  auto length = static_cast<std::uint32_t>(buffer.size());
  if (!text.CanonicalizeUrl(converted->c_str(), buffer.data(), &length,
                            platform::canonicalize::Decode | platform::canonicalize::NoEncode)) {
    return converted;
  }
  std::string decoded(buffer.c_str());
  // However the canonicaliser got there, a line break in its result keeps
  // the URL as given.
  if (!FitsInRecordField(decoded)) return converted;
  return decoded;
}

}  // namespace vrpph
