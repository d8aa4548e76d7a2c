// The request URL as the record and every later test see it.
#pragma once

#include <optional>
#include <string>

#include "core/outcomes.h"
#include "platform/text.h"

namespace vrpph {

// The ANSI form of `url`, percent-escapes decoded when `decode` (DecodeURLs
// is not "FALSE"); the interception leaves a URL with a query undecoded, and
// a URL whose decoding would yield a line break or a NUL is left undecoded
// too. None when the URL cannot be converted or holds a line break itself:
// such a URL cannot stand in the record.
std::optional<std::string> DecodeRequestUrl(const platform::Text& text, const char16_t* url, Producer producer,
                                            bool decode);

}  // namespace vrpph
