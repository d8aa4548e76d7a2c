// The rules of the browser's road applied to a download a browser extension
// holds: the same settings, key combinations, type lists, claim query,
// prompt and record as a click in the module's own browser, with what the
// browser already knows (the real file name, the keys of the click) in
// place of what the module would have to guess.
#pragma once

#include "bridge/bridge_reply.h"
#include "bridge/bridge_request.h"
#include "bridge/bridge_services.h"
#include "platform/platform.h"

namespace vrpph::bridge {

namespace reason {
constexpr const char* IgnoreKeys = "ignore-keys";
constexpr const char* KeysRequired = "keys-required";
constexpr const char* NotAccepted = "not-accepted";
constexpr const char* Excluded = "excluded";
constexpr const char* Unreachable = "unreachable";
// The port closed while the request waited: the browser has gone on.
constexpr const char* InputEnded = "input-ended";
}  // namespace reason

// Decides a `download` or `link` request (`link` is always forced).
// `owner` owns the prompt and questions and tags the record.
DownloadAnswer DecideDownload(const BridgeRequest& request, platform::WindowHandle owner,
                              platform::Platform& platform, BridgeServices& services);

}  // namespace vrpph::bridge
