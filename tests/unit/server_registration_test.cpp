#include "registration/server_registration.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace vrpph {
namespace {

constexpr int kScripts[] = {101, 118};
constexpr HResult kClassNotRegistered = static_cast<HResult>(0x80040154u);

// Answers set per step; every call recorded in order.
class RecordedSteps : public ServerRegistrationSteps {
 public:
  HResult ApplyClassScript(int scriptId, bool doRegister) override {
    calls.push_back((doRegister ? "register " : "unregister ") + std::to_string(scriptId));
    return scriptAnswers.count(scriptId) ? scriptAnswers[scriptId] : hresult::Ok;
  }
  HResult RegisterTypeLibrary() override {
    calls.push_back("register typelib");
    return typeLibraryAnswer;
  }
  void UnregisterTypeLibrary() override { calls.push_back("unregister typelib"); }
  bool OtherViewRegisters(int scriptId) override {
    calls.push_back("probe " + std::to_string(scriptId));
    return otherViewClasses.count(scriptId) > 0;
  }
  void FillInOtherView(int scriptId) override { calls.push_back("fill in " + std::to_string(scriptId)); }

  std::set<int> otherViewClasses;
  std::map<int, HResult> scriptAnswers;
  HResult typeLibraryAnswer = hresult::Ok;
  std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;

TEST(ServerRegistrationTest, RegisterRunsScriptsThenTheTypeLibraryAndAnswersWithItsResult) {
  RecordedSteps steps;
  steps.typeLibraryAnswer = kClassNotRegistered;
  EXPECT_EQ(RegisterServer(kScripts, steps), kClassNotRegistered);
  EXPECT_EQ(steps.calls, (Calls{"register 101", "register 118", "register typelib"})) << "no probe";

  // A success code of a script does not stop the run.
  RecordedSteps succeeding;
  succeeding.scriptAnswers[101] = 1;
  EXPECT_EQ(RegisterServer(kScripts, succeeding), hresult::Ok);
  EXPECT_EQ(succeeding.calls.size(), 3u);
}

TEST(ServerRegistrationTest, TheFirstFailingScriptStopsRegistration) {
  for (int failing : kScripts) {
    RecordedSteps steps;
    steps.scriptAnswers[failing] = hresult::DispException;
    EXPECT_EQ(RegisterServer(kScripts, steps), hresult::DispException);
    Calls expected{"register 101"};
    if (failing == 118) expected.push_back("register 118");
    EXPECT_EQ(steps.calls, expected) << failing;
  }
}

TEST(ServerRegistrationTest, UnregisterRunsEveryStepAndAlwaysSucceeds) {
  RecordedSteps steps;
  steps.scriptAnswers[101] = hresult::DispException;
  steps.scriptAnswers[118] = hresult::Fail;
  EXPECT_EQ(UnregisterServer(kScripts, steps), hresult::Ok);
  EXPECT_EQ(steps.calls, (Calls{"probe 101", "unregister 101", "probe 118", "unregister 118", "unregister typelib"}));
}

// The other module is looked for before this one's entries go, and only
// the classes it still registers are filled in again.
TEST(ServerRegistrationTest, UnregisterFillsInTheOtherViewForTheClassesItStillRegisters) {
  RecordedSteps steps;
  steps.otherViewClasses = {118};
  steps.scriptAnswers[118] = hresult::DispException;
  EXPECT_EQ(UnregisterServer(kScripts, steps), hresult::Ok);
  EXPECT_EQ(steps.calls, (Calls{"probe 101", "unregister 101", "probe 118", "unregister 118", "fill in 118",
                                "unregister typelib"}));
}

}  // namespace
}  // namespace vrpph
