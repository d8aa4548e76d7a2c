// The activation context around one prompt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prompt/visual_styles.h"

namespace vrpph {
namespace {

// Records each call; a function "missing" answers with its fallback.
class FakeActivationApi : public ActivationContextApi {
 public:
  Handle Create() override {
    calls.push_back("create");
    return createFails ? kInvalid : ++next;
  }
  bool Activate(Handle context, std::uintptr_t* cookie) override {
    calls.push_back("activate " + std::to_string(context));
    if (activateFails) return false;
    *cookie = 0xC00 + context;
    return true;
  }
  void Deactivate(std::uintptr_t cookie) override { calls.push_back("deactivate " + std::to_string(cookie)); }
  void Release(Handle context) override { calls.push_back("release " + std::to_string(context)); }

  bool createFails = false;
  bool activateFails = false;
  Handle next = 0;
  std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;

TEST(VisualStylesTest, ActivatesOnceAndUndoesInReverse) {
  FakeActivationApi api;
  VisualStyles styles(api);
  EXPECT_TRUE(styles.Activate());
  EXPECT_TRUE(styles.Activate()) << "already active";
  styles.Deactivate();
  EXPECT_FALSE(styles.Active());
  EXPECT_EQ(api.calls, (Calls{"create", "activate 1", "deactivate 3073", "release 1"}));
}

TEST(VisualStylesTest, DeactivatingWithoutActivationDoesNothing) {
  FakeActivationApi api;
  {
    VisualStyles styles(api);
    styles.Deactivate();
    styles.Deactivate();
  }
  EXPECT_TRUE(api.calls.empty());
}

TEST(VisualStylesTest, WithoutTheFunctionsNothingIsActivatedOrReleased) {
  FakeActivationApi api;
  api.createFails = true;
  VisualStyles styles(api);
  EXPECT_FALSE(styles.Activate());
  styles.Deactivate();
  EXPECT_EQ(api.calls, (Calls{"create"}));
}

TEST(VisualStylesTest, AFailedActivationOnlyReleasesTheContext) {
  FakeActivationApi api;
  api.activateFails = true;
  {
    VisualStyles styles(api);
    EXPECT_FALSE(styles.Activate());
    EXPECT_FALSE(styles.Activate()) << "a retry replaces the context it made";
  }
  EXPECT_EQ(api.calls, (Calls{"create", "activate 1", "release 1", "create", "activate 2", "release 2"}));
}

TEST(VisualStylesTest, EachPromptHasItsOwnContext) {
  FakeActivationApi api;
  VisualStyles first(api);
  VisualStyles second(api);
  first.Activate();
  second.Activate();
  first.Deactivate();
  EXPECT_TRUE(second.Active()) << "one prompt's end leaves another's context alone";
  second.Deactivate();
  EXPECT_EQ(api.calls, (Calls{"create", "activate 1", "create", "activate 2", "deactivate 3073", "release 1",
                              "deactivate 3074", "release 2"}));
}

TEST(VisualStylesTest, DestructionUndoesAnActiveContext) {
  FakeActivationApi api;
  { VisualStyles(api).Activate(); }
  EXPECT_EQ(api.calls, (Calls{"create", "activate 1", "deactivate 3073", "release 1"}));
}

}  // namespace
}  // namespace vrpph
