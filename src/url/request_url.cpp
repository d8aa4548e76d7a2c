#include "url/request_url.h"

#include <string_view>

#include "core/record_field.h"
#include "platform/wide_to_ansi.h"
#include "url/url_escapes.h"

namespace vrpph {
namespace {

bool HasNonAscii(const char16_t* text) {
  for (; *text; ++text) {
    if (*text >= 0x80) return true;
  }
  return false;
}

void AppendEscape(std::string& out, unsigned byte) {
  constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0xF];
}

// `url` with each character past ASCII written as the escapes of its UTF-8
// bytes, as a browser puts it on the wire; a lone surrogate as U+FFFD.
std::string EscapedAsUtf8(const char16_t* url) {
  std::string out;
  for (; *url; ++url) {
    char32_t point = *url;
    if (point < 0x80) {
      out += static_cast<char>(point);
      continue;
    }
    if (point >= 0xD800 && point <= 0xDBFF && url[1] >= 0xDC00 && url[1] <= 0xDFFF) {
      point = 0x10000 + ((point - 0xD800) << 10) + (url[1] - 0xDC00);
      ++url;
    } else if (point >= 0xD800 && point <= 0xDFFF) {
      point = 0xFFFD;
    }
    if (point < 0x800) {
      AppendEscape(out, 0xC0 | point >> 6);
    } else if (point < 0x10000) {
      AppendEscape(out, 0xE0 | point >> 12);
      AppendEscape(out, 0x80 | (point >> 6 & 0x3F));
    } else {
      AppendEscape(out, 0xF0 | point >> 18);
      AppendEscape(out, 0x80 | (point >> 12 & 0x3F));
      AppendEscape(out, 0x80 | (point >> 6 & 0x3F));
    }
    AppendEscape(out, 0x80 | (point & 0x3F));
  }
  return out;
}

}  // namespace

bool DecodesUrl(std::string_view url, UrlDecoding decoding, bool decode) {
  return decode && !(decoding == UrlDecoding::WithoutQueryOnly && url.find('?') != std::string_view::npos);
}

std::optional<std::string> DecodeRequestUrl(const platform::Text& text, const char16_t* url, UrlDecoding decoding,
                                            bool decode) {
  std::optional<std::string> converted = WideToAnsi(text, url);
  if (!converted) return std::nullopt;
  // Only a URL past ASCII pays for the check that the code page kept it.
  if (HasNonAscii(url) && !SpelledExactly(text, *converted, url)) converted = EscapedAsUtf8(url);
  if (!FitsInRecordField(*converted)) return std::nullopt;
  if (!DecodesUrl(*converted, decoding, decode)) return converted;
  return DecodeUrlEscapes(*converted);
}

}  // namespace vrpph
