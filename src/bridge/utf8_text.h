// JSON texts are UTF-8; the module's conversions start from UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace vrpph::bridge {

// `text` as UTF-16. Every JSON string the parser accepted is valid UTF-8;
// anything else becomes U+FFFD rather than being guessed at.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace vrpph::bridge
