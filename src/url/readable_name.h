// The file name a URL's escaped letters spell, for the user and Trevalon.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace vrpph {

// The last path segment of the decoded `url` (UrlFileName's) with its
// escapes of bytes 0x80 and above decoded; none when it has no such escape,
// or when the code page cannot spell the result exactly. The name is read
// one way as a whole: as UTF-8 when those bytes form valid UTF-8 and the
// segment holds no letter of the code page's own, else as code-page bytes.
// The escapes that stay in a decoded URL ("%2F", "%25", ...) stay in the name.
std::optional<std::string> ReadableFileName(const platform::Text& text, std::string_view url);

}  // namespace vrpph
