// The prompt, the paused-download check and the delivery as the module runs
// them for real, over the platform and the module-wide open mode.
#pragma once

#include <atomic>

#include "interception/download_services.h"
#include "platform/platform.h"
#include "prompt/download_prompt.h"

namespace vrpph {

class ModuleDownloadServices : public DownloadServices {
 public:
  // `openMode` is the module-wide PromptOpenMode.
  ModuleDownloadServices(platform::Platform& platform, std::atomic<OpenMode>& openMode, PromptDialog& dialog)
      : platform_(platform), openMode_(openMode), dialog_(dialog) {}

  PromptOutcome ShowDownloadPrompt(platform::WindowHandle owner, const std::string& url,
                                   const std::optional<std::string>& suggestedName) override;
  std::optional<std::string> CheckPausedDownload(platform::WindowHandle owner, const std::string& url) override;
  DeliveryOutcome SendTransferRecord(const std::string& record, platform::WindowHandle owner,
                                     Producer producer) override;

 private:
  platform::Platform& platform_;
  std::atomic<OpenMode>& openMode_;
  PromptDialog& dialog_;
};

}  // namespace vrpph
