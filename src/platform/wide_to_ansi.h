// Browser and automation texts arrive as UTF-16; the module works in the
// system ANSI code page.
#pragma once

#include <optional>
#include <string>

#include "platform/text.h"

namespace vrpph {

// None for an absent text or a failed conversion; characters the code page
// lacks are replaced as the platform's conversion does.
std::optional<std::string> WideToAnsi(const platform::Text& text, const char16_t* wide);

}  // namespace vrpph
