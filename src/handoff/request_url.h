// The request URL as the record and every later test see it.
#pragma once

#include <optional>
#include <string>

#include "handoff/delivery_outcome.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace vrpph {

// The ANSI form of `url`, percent-escapes decoded unless DecodeURLs is
// "FALSE"; the interception leaves a URL with a query undecoded. None only
// when the URL cannot be converted.
std::optional<std::string> DecodeRequestUrl(platform::Registry& registry, const platform::Text& text,
                                            const char16_t* url, Producer producer);

}  // namespace vrpph
