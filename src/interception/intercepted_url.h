// The browser's URL as every later test of the interception sees it.
#pragma once

#include <optional>
#include <string>

#include "platform/text.h"

namespace vrpph {

// The ANSI form of `url`, percent-escapes decoded unless `decodeSetting`
// (the stored DecodeURLs) is exactly "FALSE". A URL with a query is never
// decoded, and one the canonicaliser cannot handle stays undecoded. None
// when the URL cannot be converted to the ANSI code page.
std::optional<std::string> InterceptedUrl(const platform::Text& text, const char16_t* url,
                                          const std::optional<std::string>& decodeSetting);

}  // namespace vrpph
