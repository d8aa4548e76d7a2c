// Browser and automation texts arrive as UTF-16; the module works in the
// system ANSI code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace vrpph {

// None for an absent text or a failed conversion; characters the code page
// lacks are replaced as the platform's conversion does.
std::optional<std::string> WideToAnsi(const platform::Text& text, const char16_t* wide);

// `ansi` as UTF-16 as the platform reads the code page; none on failure.
std::optional<std::u16string> AnsiToWide(const platform::Text& text, const std::string& ansi);

// True when `ansi` converts back to exactly `wide`: a text the code page
// cannot spell would reach Trevalon with '?' (or a look-alike) in place of
// letters.
bool SpelledExactly(const platform::Text& text, const std::string& ansi, std::u16string_view wide);

// `wide` in the code page when it spells every letter of it; none otherwise.
std::optional<std::string> ExactAnsi(const platform::Text& text, const std::u16string& wide);

}  // namespace vrpph
