// A commit step that answers the same each time and counts the asks.
#pragma once

#include "bridge/commit_step.h"

namespace vrpph::testing {

class FixedCommitGate : public bridge::CommitGate {
 public:
  explicit FixedCommitGate(bridge::Commitment answer = bridge::Commitment::Go) : answer(answer) {}
  bridge::Commitment AwaitGo() override {
    ++asked;
    return answer;
  }

  bridge::Commitment answer;
  int asked = 0;
};

}  // namespace vrpph::testing
