// Pieces of a URL by plain text scans: no scheme check, no unescaping.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace vrpph {

// The text after the extension dot of the last path segment, in the URL's
// own case and before any query or fragment; none when there is no such
// dot. Never a text that holds a '/'.
std::optional<std::string> UrlExtension(std::string_view url);

// The text after the last '.' of a file name that holds no folder: empty
// for "file.", "zip" for ".zip", none without a dot. '#' and '?' are
// letters of a name here, as Windows allows the first.
std::optional<std::string> FileNameExtension(std::string_view fileName);

// The last path segment before the last '?'; a '#' does not end it.
std::string UrlFileName(std::string_view url);
// The same cut to `bufferSize` - 1 bytes.
std::string UrlFileName(std::string_view url, std::size_t bufferSize);

// The host (with any port) after "//" or after the last '@' before the path,
// cut to `bufferSize` - 1 bytes; empty when none.
std::string UrlHost(std::string_view url, std::size_t bufferSize);

// The download manager's own redirect pages, whose query names the file.
bool IsRedirectPage(std::string_view url, const platform::Text& text);

// A file name with an accepted extension found anywhere in the URL: the
// first list entry, in list order, that occurs decides. `acceptingTypes` is
// the stored list; only its upper-case entries can match.
std::optional<std::string> EmbeddedFileName(std::string_view url,
                                            const std::optional<std::string>& acceptingTypes,
                                            const platform::Text& text);

bool HasAcceptedExtension(std::string_view fileName, const std::optional<std::string>& acceptingTypes,
                          const platform::Text& text);

// Whether `fileName` is one of the stored excluded names; both sides are
// upper-cased, so the list matches in any case.
bool IsExcludedName(std::string_view fileName, const std::optional<std::string>& excludedNames,
                    const platform::Text& text);

// The name to send with a record: none when the URL's last segment already
// names an accepted file, else the embedded one, if any.
std::optional<std::string> SuggestedFileName(std::string_view url,
                                             const std::optional<std::string>& acceptingTypes,
                                             const platform::Text& text);

}  // namespace vrpph
