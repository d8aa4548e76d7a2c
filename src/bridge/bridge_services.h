// What a download request needs beyond the rules: the prompt, the
// paused-download question and the delivery, and whether the browser is
// still listening.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "core/outcomes.h"
#include "platform/platform.h"
#include "prompt/download_prompt.h"

namespace vrpph::bridge {

class BridgeServices {
 public:
  virtual ~BridgeServices() = default;
  // The prompt for the file `suggestedName` of `url`, remembered actions
  // looked up under `extension`.
  virtual PromptOutcome ShowDownloadPrompt(platform::WindowHandle owner, const std::string& url,
                                           const std::optional<std::string>& suggestedName,
                                           const std::optional<std::string>& extension) = 0;
  virtual std::optional<std::string> CheckPausedDownload(platform::WindowHandle owner, const std::string& url) = 0;
  virtual DeliveryOutcome SendTransferRecord(const std::string& record, platform::WindowHandle owner) = 0;
  // True once the browser closed the port: it goes on with its downloads
  // itself, so nothing more may reach Trevalon.
  [[nodiscard]] virtual bool InputEnded() const = 0;
};

// The services as the host runs them, shared by every request's thread:
// the module's prompt, paused-download check and the automation road's
// delivery (a start with "/Invisible" and no change of the foreground).
class PlatformBridgeServices : public BridgeServices {
 public:
  PlatformBridgeServices(platform::Platform& platform, PromptDialog& dialog, std::atomic<OpenMode>& openMode,
                         const std::atomic<bool>& inputEnded)
      : platform_(platform), dialog_(dialog), openMode_(openMode), inputEnded_(inputEnded) {}

  PromptOutcome ShowDownloadPrompt(platform::WindowHandle owner, const std::string& url,
                                   const std::optional<std::string>& suggestedName,
                                   const std::optional<std::string>& extension) override;
  std::optional<std::string> CheckPausedDownload(platform::WindowHandle owner, const std::string& url) override;
  DeliveryOutcome SendTransferRecord(const std::string& record, platform::WindowHandle owner) override;
  [[nodiscard]] bool InputEnded() const override { return inputEnded_.load(); }

 private:
  platform::Platform& platform_;
  PromptDialog& dialog_;
  std::atomic<OpenMode>& openMode_;
  const std::atomic<bool>& inputEnded_;
};

}  // namespace vrpph::bridge
