// The request URL as the record and every later test see it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace vrpph {

// Which URLs a road decodes while DecodeURLs allows it: the handler leaves a
// URL with a query as it is.
enum class UrlDecoding { WithoutQueryOnly, WholeUrl };

// The ANSI form of `url`, its escapes decoded as DecodeUrlEscapes does when
// `decode` (DecodeURLs is not "FALSE") and `decoding` takes it. A letter the code page cannot spell is sent as the
// escapes of its UTF-8 bytes rather than as a '?' that would cut the path.
// None when the URL cannot be converted or holds a line break itself: such a
// URL cannot stand in the record.
std::optional<std::string> DecodeRequestUrl(const platform::Text& text, const char16_t* url, UrlDecoding decoding,
                                            bool decode);

// Whether DecodeRequestUrl decodes `url` (its result, or what it was given):
// a '?' in one is a '?' in the other, since an escaped one stays escaped.
bool DecodesUrl(std::string_view url, UrlDecoding decoding, bool decode);

}  // namespace vrpph
