// One navigation through urlmon, as a click in the browser starts it: the
// held keys on this thread, a URL moniker bound asynchronously to storage
// with the request's verb and body.
//
// Under Wine's urlmon a handler's decline fails the bind with
// INET_E_USE_DEFAULT_PROTOCOLHANDLER (there is no fallback to the default
// handler), and a take leaves the bind open for ever, since the handler
// reports nothing. So once Start has answered, a bind that is still open is
// ended through the sink that Start was given.
#pragma once

#include <windows.h>

#include <optional>

#include "host_options.h"
#include "start_log.h"

namespace browser_host {

struct NavigationReport {
  // What the handler's Start answered; none when it was not called in time.
  std::optional<HRESULT> startResult;
  HRESULT bindResult = S_OK;  // BindToStorage's own result
  bool bindEnded = false;     // urlmon reported the end of the bind
  HRESULT stopResult = S_OK;  // and with this result
};

NavigationReport Navigate(const Navigation& navigation, StartLog& log, DWORD startTimeoutMs);

}  // namespace browser_host
