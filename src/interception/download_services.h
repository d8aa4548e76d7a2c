// The steps of a navigation that live outside the interception rules: the
// prompt, the paused-download check and the delivery. The decision reaches
// them only through this interface.
#pragma once

#include <optional>
#include <string>

#include "core/outcomes.h"
#include "core/outcomes.h"
#include "platform/desktop.h"

namespace vrpph {

class DownloadServices {
 public:
  virtual ~DownloadServices() = default;

  virtual PromptOutcome ShowDownloadPrompt(platform::WindowHandle owner, const std::string& url,
                                           const std::optional<std::string>& suggestedName) = 0;
  // The stored target path of a paused download the user resumes, or none.
  virtual std::optional<std::string> CheckPausedDownload(platform::WindowHandle owner, const std::string& url) = 0;
  virtual DeliveryOutcome SendTransferRecord(const std::string& record, platform::WindowHandle owner,
                                             Producer producer) = 0;
};

}  // namespace vrpph
