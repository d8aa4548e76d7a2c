// A stand-in for the prompt, the paused-download check and the delivery:
// answers set by the test, every call recorded, in order, in the world's
// event log.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sequence/services.h"
#include "support/event_log.h"

namespace vrpph::testing {

class FakeDownloadServices : public SequenceServices {
 public:
  struct PromptCall {
    platform::WindowHandle owner;
    std::string url;
    std::optional<std::string> suggestedName;
    std::optional<std::string> extension;
  };
  struct Delivery {
    std::string record;
    platform::WindowHandle owner;
    DeliveryRules rules;
  };

  explicit FakeDownloadServices(EventLog* log = nullptr) : log_(log) {}

  PromptOutcome ShowDownloadPrompt(platform::WindowHandle owner, const std::string& url,
                                   const std::optional<std::string>& suggestedName,
                                   const std::optional<std::string>& extension) override {
    Log("prompt " + url);
    prompts.push_back({owner, url, suggestedName, extension});
    return promptAnswer;
  }
  std::optional<std::string> CheckPausedDownload(platform::WindowHandle owner, const std::string& url) override {
    Log("paused " + url);
    pausedChecks.push_back({owner, url, std::nullopt, std::nullopt});
    return pausedPath;
  }
  DeliveryOutcome SendTransferRecord(const std::string& record, platform::WindowHandle owner,
                                     const DeliveryRules& rules) override {
    Log("deliver");
    deliveries.push_back({record, owner, rules});
    return deliveryAnswer;
  }
  [[nodiscard]] bool InputEnded() const override { return inputEnded; }

  // The answers.
  PromptOutcome promptAnswer{prompt_result::Proceed, OpenMode::Open};
  std::optional<std::string> pausedPath;
  DeliveryOutcome deliveryAnswer = DeliveryOutcome::Delivered;
  bool inputEnded = false;

  // What was asked.
  std::vector<PromptCall> prompts;
  std::vector<PromptCall> pausedChecks;
  std::vector<Delivery> deliveries;

 private:
  void Log(std::string event) {
    if (log_) log_->Add(std::move(event));
  }
  EventLog* log_;
};

}  // namespace vrpph::testing
