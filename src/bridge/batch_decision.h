// A `batch`: the links the user picked on the pick page, each decided alone
// and in order through the one sequence, without a prompt (the pick is the
// user's consent), after one commit step for the whole request.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bridge/bridge_reply.h"
#include "bridge/bridge_request.h"
#include "bridge/download_decision.h"
#include "platform/platform.h"
#include "sequence/download_sequence.h"

namespace vrpph::bridge {

// A `progress` answer goes out each time this many links were decided.
constexpr std::size_t kProgressEvery = 5;

struct BatchAnswer {
  // The request is malformed as a whole: this error, and no link is tried.
  std::optional<std::string> error;
  // Every link's outcome, in the request's order.
  std::vector<LinkOutcome> outcomes;
};

// Told the links decided since it was last told; not after the input ended.
using BatchProgress = std::function<void(const std::vector<LinkOutcome>&)>;

BatchAnswer DecideBatch(const BridgeRequest& request, platform::WindowHandle owner, platform::Platform& platform,
                        SequenceServices& services, CommitGate& gate, const BatchProgress& progress);

// The bridge's road for a picked link: no prompt (save mode, empty Path), and
// no commit step of its own (the request had one for all its links).
inline constexpr RoadPolicy kBatchRoad = [] {
  RoadPolicy policy = kBridgeRoad;
  policy.awaitsGo = false;
  policy.asks = false;
  return policy;
}();

}  // namespace vrpph::bridge
