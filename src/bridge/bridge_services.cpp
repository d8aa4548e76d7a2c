#include "bridge/bridge_services.h"

#include "handoff/delivery.h"
#include "handoff/paused_download.h"

namespace vrpph::bridge {

PromptOutcome PlatformBridgeServices::ShowDownloadPrompt(platform::WindowHandle owner, const std::string& url,
                                                         const std::optional<std::string>& suggestedName,
                                                         const std::optional<std::string>& extension) {
  return vrpph::ShowDownloadPrompt(platform_.registry, dialog_, openMode_, owner, url, suggestedName, extension);
}

std::optional<std::string> PlatformBridgeServices::CheckPausedDownload(platform::WindowHandle owner,
                                                                       const std::string& url) {
  return vrpph::CheckPausedDownload(platform_, owner, url);
}

DeliveryOutcome PlatformBridgeServices::SendTransferRecord(const std::string& record, platform::WindowHandle owner) {
  return vrpph::SendTransferRecord(platform_, record, owner, Producer::Automation);
}

}  // namespace vrpph::bridge
