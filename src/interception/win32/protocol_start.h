// The protocol handler's Start as the browser calls it: the request's verb
// and body from its bind information, then the interception decision.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include "interception/navigation_decision.h"
#include "platform/platform.h"

namespace vrpph {

struct RequestContent {
  RequestVerb verb = RequestVerb::Get;
  std::string body;
};

// Without bind information, or when it cannot be had, the request is a GET
// without a body. A POST body is read only from global memory; a POST in
// any other medium counts as a POST with an empty body.
RequestContent ReadRequestContent(IInternetBindInfo* bindInfo);

// S_FALSE when the navigation is taken, INET_E_USE_DEFAULT_PROTOCOLHANDLER
// when the browser is to fetch it. May throw std::bad_alloc: the COM method
// around it is the edge that answers for that.
HRESULT StartNavigation(LPCWSTR url, IInternetBindInfo* bindInfo, platform::Platform& platform,
                        SequenceServices& services);

}  // namespace vrpph
