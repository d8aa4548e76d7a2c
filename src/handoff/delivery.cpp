#include "handoff/delivery.h"

#include <limits>
#include <optional>

#include "handoff/program_commands.h"
#include "handoff/program_locator.h"
#include "settings/contact_points.h"
#include "settings/settings_key.h"

namespace vrpph {
namespace {

class ManagerWindow {
 public:
  ManagerWindow(platform::Platform& platform, const DeliveryRules& rules)
      : platform_(platform),
        title_(SettingsKey::Main(platform.registry).Text(values::ProgramTitle)) {
    if (!title_ && rules.defaultTitle) title_ = manager::DefaultTitle;
  }

  [[nodiscard]] platform::WindowHandle Find() const {
    return platform_.desktop.FindTopLevelWindow(manager::WindowClass, title_ ? title_->c_str() : nullptr);
  }

 private:
  platform::Platform& platform_;
  std::optional<std::string> title_;
};

bool Send(platform::Platform& platform, platform::WindowHandle window, const std::string& record,
          platform::WindowHandle owner) {
  if (record.size() > std::numeric_limits<std::uint32_t>::max()) return false;
  auto reply = platform.desktop.SendCopyData(window, owner, record.data(), static_cast<std::uint32_t>(record.size()),
                                             delivery::SendTimeoutMs);
  return reply.has_value();
}

DeliveryOutcome SendAndFinish(platform::Platform& platform, platform::WindowHandle window, const std::string& record,
                              platform::WindowHandle owner, const DeliveryRules& rules) {
  if (!Send(platform, window, record, owner)) return DeliveryOutcome::WindowMissing;
  if (rules.bringToFront) platform.desktop.SetForegroundWindow(window);
  return DeliveryOutcome::Delivered;
}

void StartProgram(platform::Platform& platform, const std::string& programPath, const DeliveryRules& rules) {
  if (rules.start == ProgramStart::ShellOpen) {
    platform.programs.OpenWithShell(0, "open", programPath, switches::Invisible, platform::show::Show);
    return;
  }
  if (!platform.programs.StartAndWaitForIdle(InvisibleStartCommandLine(programPath),
                                             delivery::InputIdleTimeoutMs) &&
      rules.startFailureBox) {
    // The window may still come up (another start may be under way), so
    // the polling runs all the same.
    platform.desktop.ShowMessageBox(0, messages::CannotStart, messages::ErrorCaption, platform::message_box::Ok);
  }
}

}  // namespace

DeliveryOutcome SendTransferRecord(platform::Platform& platform, const std::string& record,
                                   platform::WindowHandle owner, const DeliveryRules& rules) {
  ManagerWindow manager(platform, rules);
  if (platform::WindowHandle window = manager.Find()) {
    return SendAndFinish(platform, window, record, owner, rules);
  }

  auto programPath = LocateProgram(platform.registry);
  if (!programPath) return DeliveryOutcome::ProgramMissing;
  StartProgram(platform, *programPath, rules);

  for (int round = 0; round < rules.windowPolls; ++round) {
    platform.clock.Sleep(delivery::PollIntervalMs);
    if (platform::WindowHandle window = manager.Find()) {
      platform.clock.Sleep(delivery::SettleMs);
      return SendAndFinish(platform, window, record, owner, rules);
    }
  }
  return DeliveryOutcome::WindowMissing;
}

platform::WindowHandle FindManagerWindow(platform::Platform& platform, const DeliveryRules& rules) {
  return ManagerWindow(platform, rules).Find();
}

}  // namespace vrpph
