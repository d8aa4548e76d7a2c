// The sequence's own choices, where a road's policy picks between them: the
// point at which a POST ends, and whether an ended input calls a request off.
#include "sequence/download_sequence.h"

#include <gtest/gtest.h>

#include "bridge/download_decision.h"
#include "interception/navigation_decision.h"
#include "settings/contact_points.h"
#include "support/fake_download_services.h"
#include "support/fake_platform.h"
#include "support/fixed_commit_gate.h"

namespace vrpph {
namespace {

class DownloadSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const platform::WindowHandle manager = world.desktop.AddWindow(manager::WindowClass, manager::DefaultTitle);
    world.desktop.OnCopyData(manager, [this](std::uintptr_t tag, const std::string&) -> std::intptr_t {
      if (tag == manager::ClaimQueryTag) ++claimQueries;
      return 0;
    });
  }
  SequenceOutcome Run(const RoadPolicy& policy, bool forced) {
    ScreenedRequest request;
    request.url = "http://h/a.zip";
    request.forced = forced;
    request.post = true;
    request.gate = &gate;
    return RunDownloadSequence(request, policy, world.platform, services);
  }

  testing::FakePlatform world;
  testing::FakeDownloadServices services;
  testing::FixedCommitGate gate;
  int claimQueries = 0;
};

TEST_F(DownloadSequenceTest, APostEndsWhereTheRoadSays) {
  EXPECT_EQ(Run(bridge::kBridgeRoad, true), SequenceOutcome::PostDeclined) << "forced or not";
  EXPECT_EQ(gate.asked, 0) << "before the commit step";
  EXPECT_EQ(claimQueries, 0) << "and before the claim query";

  EXPECT_EQ(Run(kHandlerRoad, false), SequenceOutcome::PostDeclined);
  EXPECT_EQ(claimQueries, 1) << "after the claim query";
  EXPECT_EQ(Run(kHandlerRoad, true), SequenceOutcome::Sent) << "a forced POST goes with its body";
  ASSERT_EQ(services.deliveries.size(), 1u);
  EXPECT_NE(services.deliveries[0].record.find("\nPostData="), std::string::npos);
}

TEST_F(DownloadSequenceTest, AnEndedInputCallsOffOnlyTheRoadsThatListen) {
  services.inputEnded = true;
  EXPECT_EQ(Run(kHandlerRoad, true), SequenceOutcome::Sent) << "the module's roads have no input to end";
  RoadPolicy listening = kHandlerRoad;
  listening.endOfInputCallsOff = true;
  EXPECT_EQ(Run(listening, true), SequenceOutcome::InputEnded);
  EXPECT_EQ(services.prompts.size(), 2u) << "called off after the prompt";
  EXPECT_EQ(services.deliveries.size(), 1u);
}

}  // namespace
}  // namespace vrpph
