// The whole interception decision for one browser navigation: whether the
// download manager takes it (after the prompt and the hand-off) or the
// browser fetches it itself. The protocol handler's Start only adapts the
// browser's call to this.
#pragma once

#include <string>

#include "interception/download_services.h"
#include "platform/platform.h"

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

NavigationAnswer DecideNavigation(const NavigationRequest& request, platform::Platform& platform,
                                  DownloadServices& services);

}  // namespace vrpph
