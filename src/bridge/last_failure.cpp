#include "bridge/last_failure.h"

#include "bridge/download_decision.h"

namespace vrpph::bridge {

void LastFailure::Note(const std::optional<std::string>& id, const DownloadAnswer& answer) {
  const bool failed = answer.state == DownloadState::Error ||
                      (answer.state == DownloadState::Declined &&
                       (answer.reason == reason::Unreachable || answer.reason == reason::NotConfirmed));
  if (!failed) return;
  std::lock_guard lock(mutex_);
  note_ = FailureNote{id, answer};
}

}  // namespace vrpph::bridge
