// Offering to continue a download the manager paused earlier.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/desktop.h"
#include "platform/platform.h"

namespace vrpph {

// The longest value name the registry takes, in characters.
constexpr std::size_t kMaxRegistryValueName = 16383;

// The paused entry for `url` (its value URL + "Filename" holds the target
// path): when the partial file (target + ".TQ") exists and the user answers
// Yes, the target path, and the entry stays. Otherwise none, and both of the
// entry's values are deleted. A URL too long to name a value finds nothing
// and deletes nothing.
std::optional<std::string> CheckPausedDownload(platform::Platform& platform, platform::WindowHandle owner,
                                               const std::string& url);

}  // namespace vrpph
