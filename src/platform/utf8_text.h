// JSON texts and the bytes a URL's escapes name are UTF-8; the module's
// conversions start from UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vrpph {

// `text` as UTF-16. Every JSON string the parser accepted is valid UTF-8;
// anything else becomes U+FFFD rather than being guessed at.
std::u16string Utf8ToUtf16(std::string_view text);

// `text` as UTF-16 when all of it is valid UTF-8 (no overlong form, no
// surrogate, nothing past U+10FFFF); none otherwise.
std::optional<std::u16string> ValidUtf8ToUtf16(std::string_view text);

}  // namespace vrpph
