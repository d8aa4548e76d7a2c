// Handing a record to the download manager's window, starting the program
// and waiting for its window when it is not running.
#pragma once

#include <cstdint>
#include <string>

#include "core/outcomes.h"
#include "platform/platform.h"

namespace vrpph {

namespace delivery {
// The record goes out like the claim query: a hung manager makes the send
// fail after this long instead of freezing the caller.
constexpr std::uint32_t SendTimeoutMs = 30000;
constexpr std::uint32_t InputIdleTimeoutMs = 30000;
constexpr std::uint32_t PollIntervalMs = 100;
constexpr int InterceptionPolls = 60;
constexpr int AutomationPolls = 50;
// A window that has just appeared gets a moment to finish starting up.
constexpr std::uint32_t SettleMs = 300;
}  // namespace delivery

// Finds the manager's window (class and ProgramTitle; without ProgramTitle
// the interception looks for the default title, the automation for the
// class alone), starting the program when there is none, and sends
// `record` with `owner` as dwData. Only the interception brings the window
// to the front afterwards. A send that fails or times out is WindowMissing.
DeliveryOutcome SendTransferRecord(platform::Platform& platform, const std::string& record,
                                   platform::WindowHandle owner, Producer producer);

// The manager's window as SendTransferRecord looks for it; 0 when there is
// none. Starts nothing.
platform::WindowHandle FindManagerWindow(platform::Platform& platform, Producer producer);

}  // namespace vrpph
