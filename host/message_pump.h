// Waits on the host's own thread while urlmon and the windows of this
// thread go on working: their messages are dispatched meanwhile.
#pragma once

#include <windows.h>

#include <functional>

namespace browser_host {

// True once `done` holds; false when `timeoutMs` passed first.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs);

}  // namespace browser_host
