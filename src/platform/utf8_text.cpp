#include "platform/utf8_text.h"

#include <cstdint>

namespace vrpph {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMalformed = 0xFFFFFFFF;

// The code point starting at `at` (which moves past it), or kMalformed for
// a malformed, overlong or surrogate sequence.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  int more = 0;
  char32_t point = 0;
  char32_t least = 0;
  if ((lead & 0xE0) == 0xC0) {
    more = 1, point = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2, point = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3, point = lead & 0x07, least = 0x10000;
  } else {
    return kMalformed;
  }
  for (int i = 0; i < more; ++i) {
    if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) return kMalformed;
    point = point << 6 | (static_cast<unsigned char>(text[at++]) & 0x3F);
  }
  if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return kMalformed;
  return point;
}

void Append(std::u16string& wide, char32_t point) {
  if (point < 0x10000) {
    wide.push_back(static_cast<char16_t>(point));
  } else {
    wide.push_back(static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10)));
    wide.push_back(static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF)));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const char32_t point = NextCodePoint(text, at);
    Append(wide, point == kMalformed ? kReplacement : point);
  }
  return wide;
}

std::optional<std::u16string> ValidUtf8ToUtf16(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const char32_t point = NextCodePoint(text, at);
    if (point == kMalformed) return std::nullopt;
    Append(wide, point);
  }
  return wide;
}

}  // namespace vrpph
