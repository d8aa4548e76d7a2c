#include "bridge/batch_decision.h"

#include <utility>

#include "settings/settings_key.h"

namespace vrpph::bridge {
namespace {

DownloadAnswer Declined(const char* why) { return DownloadAnswer{DownloadState::Declined, true, why}; }

// The services for one request: Trevalon is started at most once for all
// its links, and once a delivery failed nothing more is tried.
class StartOnce : public SequenceServices {
 public:
  StartOnce(platform::Platform& platform, SequenceServices& services) : platform_(platform), services_(services) {}

  PromptOutcome ShowDownloadPrompt(platform::WindowHandle owner, const std::string& url,
                                   const std::optional<std::string>& suggestedName,
                                   const std::optional<std::string>& extension) override {
    return services_.ShowDownloadPrompt(owner, url, suggestedName, extension);
  }
  std::optional<std::string> CheckPausedDownload(platform::WindowHandle owner, const std::string& url) override {
    return services_.CheckPausedDownload(owner, url);
  }
  DeliveryOutcome SendTransferRecord(const std::string& record, platform::WindowHandle owner,
                                     const DeliveryRules& rules) override {
    if (failed_) return DeliveryOutcome::WindowMissing;
    // A Trevalon gone after its one start is not started again.
    if (FindManagerWindow(platform_, rules) == 0) {
      if (startTried_) {
        failed_ = true;
        return DeliveryOutcome::WindowMissing;
      }
      startTried_ = true;
    }
    const DeliveryOutcome outcome = services_.SendTransferRecord(record, owner, rules);
    failed_ = outcome != DeliveryOutcome::Delivered;
    return outcome;
  }
  [[nodiscard]] bool InputEnded() const override { return services_.InputEnded(); }

  [[nodiscard]] bool Failed() const { return failed_; }

 private:
  platform::Platform& platform_;
  SequenceServices& services_;
  bool startTried_ = false;
  bool failed_ = false;
};

DownloadAnswer DecideLink(const BatchLink& link, platform::WindowHandle owner, platform::Platform& platform,
                          const SettingsKey& settings, StartOnce& services) {
  // Each link alone: a bad one is refused, the others go on. No key rules
  // and no type tests: the user chose the links one by one.
  ScreenedRequest s;
  if (auto refused = ScreenRecordTexts(link.url, link.filename, platform, settings, s)) return *refused;
  if (!IsHandledScheme(link.url)) return DownloadAnswer{DownloadState::Error, true, "url is not http, https or ftp"};
  if (services.Failed()) return Declined(reason::Unreachable);
  s.owner = owner;
  s.forced = true;
  s.referer = RecordText(platform.text, link.referrer);
  return AnswerOf(RunDownloadSequence(std::move(s), kBatchRoad, platform, services));
}

std::vector<LinkOutcome> AllDeclined(const std::vector<BatchLink>& links, const char* why) {
  std::vector<LinkOutcome> outcomes;
  outcomes.reserve(links.size());
  for (const BatchLink& link : links) outcomes.push_back(LinkOutcome{link.index, Declined(why)});
  return outcomes;
}

}  // namespace

BatchAnswer DecideBatch(const BridgeRequest& request, platform::WindowHandle owner, platform::Platform& platform,
                        SequenceServices& services, CommitGate& gate, const BatchProgress& progress) {
  if (!request.linksError.empty()) return BatchAnswer{request.linksError, {}};
  const Commitment commitment = gate.AwaitGo();
  if (commitment != Commitment::Go) {
    return BatchAnswer{std::nullopt, AllDeclined(request.links, commitment == Commitment::NotConfirmed
                                                                    ? reason::NotConfirmed
                                                                    : reason::InputEnded)};
  }
  const SettingsKey settings = SettingsKey::Main(platform.registry);
  StartOnce once(platform, services);
  BatchAnswer answer;
  answer.outcomes.reserve(request.links.size());
  std::vector<LinkOutcome> unreported;
  for (const BatchLink& link : request.links) {
    // After the end of input nothing more reaches Trevalon or the port.
    if (services.InputEnded()) {
      answer.outcomes.push_back(LinkOutcome{link.index, Declined(reason::InputEnded)});
      continue;
    }
    answer.outcomes.push_back(LinkOutcome{link.index, DecideLink(link, owner, platform, settings, once)});
    unreported.push_back(answer.outcomes.back());
    if (unreported.size() == kProgressEvery && !services.InputEnded()) {
      progress(unreported);
      unreported.clear();
    }
  }
  return answer;
}

}  // namespace vrpph::bridge
