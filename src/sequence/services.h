// What the sequence needs beyond its rules: the prompt, the paused-download
// check, the delivery, and whether the caller is still listening. Every road
// reaches them only through this interface.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "core/outcomes.h"
#include "handoff/delivery.h"
#include "platform/platform.h"
#include "prompt/download_prompt.h"

namespace vrpph {

class SequenceServices {
 public:
  virtual ~SequenceServices() = default;
  // The prompt for the file `suggestedName` of `url`, remembered actions
  // looked up under `extension`.
  virtual PromptOutcome ShowDownloadPrompt(platform::WindowHandle owner, const std::string& url,
                                           const std::optional<std::string>& suggestedName,
                                           const std::optional<std::string>& extension) = 0;
  // The stored target path of a paused download the user resumes, or none.
  virtual std::optional<std::string> CheckPausedDownload(platform::WindowHandle owner, const std::string& url) = 0;
  virtual DeliveryOutcome SendTransferRecord(const std::string& record, platform::WindowHandle owner,
                                             const DeliveryRules& rules) = 0;
  // True once the caller stopped listening (the bridge's browser closed the
  // port): nothing more may reach Trevalon.
  [[nodiscard]] virtual bool InputEnded() const = 0;
};

// The services as a process runs them for real, over the platform and its
// process-wide PromptOpenMode; `inputEnded`, where given, is the caller's.
class ModuleServices : public SequenceServices {
 public:
  ModuleServices(platform::Platform& platform, std::atomic<OpenMode>& openMode, PromptDialog& dialog,
                 const std::atomic<bool>* inputEnded = nullptr)
      : platform_(platform), openMode_(openMode), dialog_(dialog), inputEnded_(inputEnded) {}

  PromptOutcome ShowDownloadPrompt(platform::WindowHandle owner, const std::string& url,
                                   const std::optional<std::string>& suggestedName,
                                   const std::optional<std::string>& extension) override;
  std::optional<std::string> CheckPausedDownload(platform::WindowHandle owner, const std::string& url) override;
  DeliveryOutcome SendTransferRecord(const std::string& record, platform::WindowHandle owner,
                                     const DeliveryRules& rules) override;
  [[nodiscard]] bool InputEnded() const override { return inputEnded_ && inputEnded_->load(); }

 private:
  platform::Platform& platform_;
  std::atomic<OpenMode>& openMode_;
  PromptDialog& dialog_;
  const std::atomic<bool>* inputEnded_;
};

}  // namespace vrpph
