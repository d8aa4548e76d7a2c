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

// How the program is started: waited for until idle (a failure may be
// told), or opened through the shell with nothing waited for.
enum class ProgramStart { WaitForIdle, ShellOpen };

// Where the roads' deliveries differ.
struct DeliveryRules {
  bool defaultTitle;     // without ProgramTitle, the default title; else the class alone
  ProgramStart start;
  bool startFailureBox;  // a start that fails says so in a message box
  int windowPolls;       // how many PollIntervalMs the started program's window is awaited
  bool bringToFront;     // the window is brought to the front after the send
  friend bool operator==(const DeliveryRules&, const DeliveryRules&) = default;
};

// Finds the manager's window (class and ProgramTitle, else as `rules` say),
// starting the program when there is none, and sends `record` with `owner`
// as dwData. A send that fails or times out is WindowMissing.
DeliveryOutcome SendTransferRecord(platform::Platform& platform, const std::string& record,
                                   platform::WindowHandle owner, const DeliveryRules& rules);

// The manager's window as SendTransferRecord looks for it; 0 when there is
// none. Starts nothing.
platform::WindowHandle FindManagerWindow(platform::Platform& platform, const DeliveryRules& rules);

}  // namespace vrpph
