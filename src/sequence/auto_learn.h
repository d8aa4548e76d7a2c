// Offers that let the user's own choices edit the accepted extensions, each
// a yes/no question made only while AutoLearn is "TRUE".
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace vrpph {

// Room for one localised text of an offer, terminator included; a longer
// stored text is cut to fit.
constexpr std::size_t kOfferTextBuffer = 1024;

// After a cancelled prompt for a link taken by its type: offers to drop the
// extension of `fileName` (or, without one, of the URL) from AcceptingTypes.
void OfferTurnOff(platform::Platform& platform, platform::WindowHandle owner, const std::string& url,
                  const std::optional<std::string>& fileName);

// After a forced link whose extension is not accepted yet: offers to append
// it to AcceptingTypes. An absent list is never created.
void OfferTurnOn(platform::Platform& platform, platform::WindowHandle owner, const std::string& url);

}  // namespace vrpph
