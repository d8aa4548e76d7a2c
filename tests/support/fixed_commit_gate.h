// A commit step that answers the same each time and counts the asks.
#pragma once

#include "bridge/commit_step.h"

namespace vrpph::testing {

class FixedCommitGate : public CommitGate {
 public:
  explicit FixedCommitGate(Commitment answer = Commitment::Go) : answer(answer) {}
  Commitment AwaitGo() override {
    ++asked;
    return answer;
  }

  Commitment answer;
  int asked = 0;
};

}  // namespace vrpph::testing
