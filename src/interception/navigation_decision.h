// The whole interception decision for one browser navigation: whether the
// download manager takes it (after the prompt and the hand-off) or the
// browser fetches it itself. The protocol handler's Start only adapts the
// browser's call to this.
#pragma once

#include <string>

#include "platform/platform.h"
#include "sequence/download_sequence.h"

namespace vrpph {

enum class RequestVerb { Get, Post, Other };

struct NavigationRequest {
  // The URL as the browser hands it over, zero-terminated UTF-16.
  const char16_t* url = nullptr;
  RequestVerb verb = RequestVerb::Get;
  // The request body of a POST, possibly empty; ignored for other verbs.
  std::string body;
  // The window in front when the browser called: owner of every question
  // this navigation asks, and the tag of its transfer record.
  platform::WindowHandle owner = 0;
};

enum class NavigationAnswer {
  Take,     // the browser gets nothing and fetches nothing
  Decline,  // the browser fetches the URL itself
};

// The handler's road: the URL decoded without a query, the claim query, a
// POST declined after it unless forced, the address bar as referer, and a
// start that waits for Trevalon and brings it to the front.
inline constexpr RoadPolicy kHandlerRoad{
    .decoding = UrlDecoding::WithoutQueryOnly, .claimQuery = true,
    .postDeclined = PostDeclined::UnforcedAfterClaimQuery, .awaitsGo = false, .endOfInputCallsOff = false,
    .promptGoesOn = PromptGoesOn::AllButCancelAndModuleMissing, .autoLearn = true,
    .referer = RefererSource::AddressBarAfterPrompt, .refererLineBreak = RefererLineBreak::Dropped,
    .fileName = FileNameRule::AsShown, .record = {.emptyRefererWritten = false, .postDataTravels = true},
    .delivery = {.defaultTitle = true, .start = ProgramStart::WaitForIdle, .startFailureBox = true,
                 .windowPolls = delivery::InterceptionPolls, .bringToFront = true}};

NavigationAnswer DecideNavigation(const NavigationRequest& request, platform::Platform& platform,
                                  SequenceServices& services);

}  // namespace vrpph
