// Questions the roads ask other windows on the desktop: whether a
// running download manager claims a URL, and what the browser in front
// shows in its address bar. Each call keeps its answer to itself, so two
// browser threads can ask at the same time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/desktop.h"

namespace vrpph {

// How long one download-manager window may take to answer the claim query;
// a hung or slow window counts as not claiming.
constexpr std::uint32_t kClaimQueryTimeoutMs = 5000;

// True when some window whose class holds the download manager's class
// answers 1 to the claim query for `url`.
bool ManagerClaimsUrl(platform::Desktop& desktop, const std::string& url);

// The text of the first edit field inside a combo box of the browser frame
// in front; none when the front window is no browser frame or has no such
// field.
std::optional<std::string> AddressBarText(platform::Desktop& desktop);

}  // namespace vrpph
