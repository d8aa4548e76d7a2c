// Percent-escapes of a URL, read by plain text scans.
#pragma once

#include <string>
#include <string_view>

namespace vrpph {

// The byte that the escape at `at` names ("%" and two hex digits in either
// case), or -1 when no complete escape starts there.
int EscapedByteAt(std::string_view text, std::size_t at);

// `url` with the escapes decoded that name the same resource decoded: each
// escape of an ASCII byte, except "%25", "%2F", "%5C", "%3F" and "%23" (they
// would make another '%', path segment, query or fragment; browsers read a
// '\' in an http URL as a '/'), "%0A", "%0D" and
// "%00" (no record field may hold them), and within the query "%26", "%3D"
// and "%2B" (they would split or join its parameters). An escape of a byte
// 0x80 or above stays too: the code page cannot keep its meaning. Anything
// else, a malformed escape included, is copied as it is.
std::string DecodeUrlEscapes(std::string_view url);

}  // namespace vrpph
