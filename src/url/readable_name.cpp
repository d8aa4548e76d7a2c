#include "url/readable_name.h"

#include "core/record_field.h"
#include "platform/utf8_text.h"
#include "platform/wide_to_ansi.h"
#include "url/url_escapes.h"
#include "url/url_names.h"

namespace vrpph {

std::optional<std::string> ReadableFileName(const platform::Text& text, std::string_view url) {
  const std::string segment = UrlFileName(url);
  std::string bytes;
  bytes.reserve(segment.size());
  bool escapedHigh = false;
  bool rawHigh = false;
  for (std::size_t at = 0; at < segment.size(); ++at) {
    const int byte = EscapedByteAt(segment, at);
    if (byte >= 0x80) {
      bytes += static_cast<char>(byte);
      escapedHigh = true;
      at += 2;
      continue;
    }
    rawHigh = rawHigh || static_cast<unsigned char>(segment[at]) >= 0x80;
    bytes += segment[at];
  }
  if (!escapedHigh) return std::nullopt;

  std::optional<std::string> name;
  const std::optional<std::u16string> utf8 = rawHigh ? std::nullopt : ValidUtf8ToUtf16(bytes);
  if (utf8) {
    name = ExactAnsi(text, *utf8);
  } else if (const std::optional<std::u16string> wide = AnsiToWide(text, bytes)) {
    // Legacy bytes: kept only when the code page reads each of them as a
    // letter it writes back the same.
    if (ExactAnsi(text, *wide) == bytes) name = bytes;
  }
  if (!name || name->empty() || !FitsInRecordField(*name)) return std::nullopt;
  return name;
}

}  // namespace vrpph
