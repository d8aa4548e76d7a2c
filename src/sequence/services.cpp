#include "sequence/services.h"

#include "handoff/paused_download.h"

namespace vrpph {

PromptOutcome ModuleServices::ShowDownloadPrompt(platform::WindowHandle owner, const std::string& url,
                                                 const std::optional<std::string>& suggestedName,
                                                 const std::optional<std::string>& extension) {
  return vrpph::ShowDownloadPrompt(platform_.registry, dialog_, openMode_, owner, url, suggestedName, extension);
}

std::optional<std::string> ModuleServices::CheckPausedDownload(platform::WindowHandle owner, const std::string& url) {
  return vrpph::CheckPausedDownload(platform_, owner, url);
}

DeliveryOutcome ModuleServices::SendTransferRecord(const std::string& record, platform::WindowHandle owner,
                                                   const DeliveryRules& rules) {
  return vrpph::SendTransferRecord(platform_, record, owner, rules);
}

}  // namespace vrpph
