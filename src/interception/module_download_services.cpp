#include "interception/module_download_services.h"

#include "handoff/delivery.h"
#include "handoff/paused_download.h"

namespace vrpph {

PromptOutcome ModuleDownloadServices::ShowDownloadPrompt(platform::WindowHandle owner, const std::string& url,
                                                         const std::optional<std::string>& suggestedName) {
  return vrpph::ShowDownloadPrompt(platform_.registry, dialog_, openMode_, owner, url, suggestedName);
}

std::optional<std::string> ModuleDownloadServices::CheckPausedDownload(platform::WindowHandle owner,
                                                                       const std::string& url) {
  return vrpph::CheckPausedDownload(platform_, owner, url);
}

DeliveryOutcome ModuleDownloadServices::SendTransferRecord(const std::string& record, platform::WindowHandle owner,
                                                           Producer producer) {
  return vrpph::SendTransferRecord(platform_, record, owner, producer);
}

}  // namespace vrpph
