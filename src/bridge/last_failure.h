// The last failure the host met in this process, kept for `status`: an
// answer that tells of a fault rather than a rule's decision.
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "bridge/bridge_reply.h"

namespace vrpph::bridge {

class LastFailure {
 public:
  // Keeps `answer` when it is an error, or a decline because Trevalon could
  // not be reached or the extension's `go` never came.
  void Note(const std::optional<std::string>& id, const DownloadAnswer& answer);
  std::optional<FailureNote> Get() const {
    std::lock_guard lock(mutex_);
    return note_;
  }

 private:
  mutable std::mutex mutex_;
  std::optional<FailureNote> note_;
};

}  // namespace vrpph::bridge
