// How the module reads the texts the download manager stores as switches.
#pragma once

#include <optional>
#include <string>

namespace vrpph {

// True exactly when `text` is present and equals `word` byte for byte.
bool IsFlag(const std::optional<std::string>& text, const char* word);

// DecodeURLs as stored: URLs are decoded unless it says exactly "FALSE".
bool UrlDecodingOn(const std::optional<std::string>& decodeSetting);

}  // namespace vrpph
