#include "url/url_escapes.h"

namespace vrpph {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool StaysEscaped(int byte, bool inQuery) {
  switch (byte) {
    case '%': case '/': case '\\': case '?': case '#': case '\n': case '\r': case '\0':
      return true;
    case '&': case '=': case '+':
      return inQuery;
    default:
      return byte >= 0x80;
  }
}

}  // namespace

int EscapedByteAt(std::string_view text, std::size_t at) {
  if (at + 2 >= text.size() || text[at] != '%') return -1;
  const int high = HexValue(text[at + 1]);
  const int low = HexValue(text[at + 2]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

std::string DecodeUrlEscapes(std::string_view url) {
  std::string decoded;
  decoded.reserve(url.size());
  bool inQuery = false;
  for (std::size_t at = 0; at < url.size(); ++at) {
    inQuery = inQuery || url[at] == '?';
    const int byte = EscapedByteAt(url, at);
    if (byte < 0 || StaysEscaped(byte, inQuery)) {
      decoded += url[at];
      continue;
    }
    decoded += static_cast<char>(byte);
    at += 2;
  }
  return decoded;
}

}  // namespace vrpph
