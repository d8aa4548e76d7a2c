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
  ManagerWindow(platform::Platform& platform, Producer producer)
      : platform_(platform),
        title_(SettingsKey::Main(platform.registry).Text(values::ProgramTitle)) {
    if (!title_ && producer == Producer::Interception) title_ = manager::DefaultTitle;
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
                              platform::WindowHandle owner, Producer producer) {
  if (!Send(platform, window, record, owner)) return DeliveryOutcome::WindowMissing;
  if (producer == Producer::Interception) platform.desktop.SetForegroundWindow(window);
  return DeliveryOutcome::Delivered;
}

void StartProgram(platform::Platform& platform, const std::string& programPath, Producer producer) {
  if (producer == Producer::Automation) {
    platform.programs.OpenWithShell(0, "open", programPath, switches::Invisible, platform::show::Show);
    return;
  }
  if (!platform.programs.StartAndWaitForIdle(InvisibleStartCommandLine(programPath),
                                             delivery::InputIdleTimeoutMs)) {
    // The window may still come up (another start may be under way), so
    // the polling runs all the same.
    platform.desktop.ShowMessageBox(0, messages::CannotStart, messages::ErrorCaption, platform::message_box::Ok);
  }
}

}  // namespace

DeliveryOutcome SendTransferRecord(platform::Platform& platform, const std::string& record,
                                   platform::WindowHandle owner, Producer producer) {
  ManagerWindow manager(platform, producer);
  if (platform::WindowHandle window = manager.Find()) {
    return SendAndFinish(platform, window, record, owner, producer);
  }

  auto programPath = LocateProgram(platform.registry);
  if (!programPath) return DeliveryOutcome::ProgramMissing;
  StartProgram(platform, *programPath, producer);

  const int polls = producer == Producer::Interception ? delivery::InterceptionPolls : delivery::AutomationPolls;
  for (int round = 0; round < polls; ++round) {
    platform.clock.Sleep(delivery::PollIntervalMs);
    if (platform::WindowHandle window = manager.Find()) {
      platform.clock.Sleep(delivery::SettleMs);
      return SendAndFinish(platform, window, record, owner, producer);
    }
  }
  return DeliveryOutcome::WindowMissing;
}

platform::WindowHandle FindManagerWindow(platform::Platform& platform, Producer producer) {
  return ManagerWindow(platform, producer).Find();
}

}  // namespace vrpph
