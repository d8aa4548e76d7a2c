#include "handoff/delivery.h"

#include <gtest/gtest.h>

#include "automation/automation_api.h"
#include "interception/navigation_decision.h"
#include "settings/contact_points.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"

namespace vrpph {
namespace {

using platform::WindowHandle;
using Events = std::vector<std::string>;

constexpr WindowHandle kOwner = 0x4242;
const std::string kRecord = "URL=http://h/a.zip\nPath=";
const std::string kFindDefault = std::string("find ") + manager::WindowClass + "|" + manager::DefaultTitle;
const std::string kFindAny = std::string("find ") + manager::WindowClass + "|*";

class DeliveryTest : public ::testing::Test {
 protected:
  DeliveryOutcome Send(const DeliveryRules& rules) { return SendTransferRecord(world.platform, kRecord, kOwner, rules); }
  void SetMain(const char* name, const std::string& value) {
    testing::SetString(world.registry, platform::root::CurrentUser, keys::Main, name, value);
  }
  WindowHandle AddManager(const std::string& title = manager::DefaultTitle) {
    return world.desktop.AddWindow(manager::WindowClass, title);
  }
  // The manager's window comes up after this many sleeps of the poll.
  void WindowAppearsAfterSleeps(std::size_t sleeps) {
    world.clock.OnSleep([this, sleeps](std::size_t count) {
      if (count == sleeps) window = AddManager();
    });
  }
  static std::string CopyData(WindowHandle w) { return "copydata " + std::to_string(w) + " " + std::to_string(kOwner); }
  static std::string Foreground(WindowHandle w) { return "foreground " + std::to_string(w); }

  testing::FakePlatform world;
  WindowHandle window = 0;
};

TEST_F(DeliveryTest, ARunningManagerGetsTheRecordAtOnce) {
  window = AddManager();
  EXPECT_EQ(Send(kHandlerRoad.delivery), DeliveryOutcome::Delivered);
  EXPECT_EQ(world.log.events, (Events{kFindDefault, CopyData(window), Foreground(window)}));
  ASSERT_EQ(world.desktop.copyData().size(), 1u);
  const auto& sent = world.desktop.copyData()[0];
  EXPECT_EQ(sent.bytes, kRecord) << "cbData counts no terminator";
  EXPECT_EQ(sent.timeoutMs, 30000u);

  world.log.events.clear();
  EXPECT_EQ(Send(kAutomationRoad.delivery), DeliveryOutcome::Delivered);
  EXPECT_EQ(world.log.events, (Events{kFindAny, CopyData(window)})) << "no foreground change";
}

TEST_F(DeliveryTest, TheTitleComesFromProgramTitleOrTheRoadsDefault) {
  WindowHandle other = AddManager("Something else");
  SetMain(values::ProgramPath, "C:\\TQ\\TQP.EXE");
  EXPECT_EQ(Send(kAutomationRoad.delivery), DeliveryOutcome::Delivered) << "the class alone";
  EXPECT_EQ(world.desktop.copyData().back().window, other);
  EXPECT_TRUE(world.programs.calls().empty());

  EXPECT_EQ(Send(kHandlerRoad.delivery), DeliveryOutcome::WindowMissing) << "only the default title";
  EXPECT_EQ(world.programs.calls().size(), 1u);

  SetMain(values::ProgramTitle, "Something else");
  world.log.events.clear();
  EXPECT_EQ(Send(kHandlerRoad.delivery), DeliveryOutcome::Delivered);
  EXPECT_EQ(world.log.events.front(), std::string("find ") + manager::WindowClass + "|Something else");
  EXPECT_EQ(Send(kAutomationRoad.delivery), DeliveryOutcome::Delivered);
}

TEST_F(DeliveryTest, InterceptionStartsTheProgramAndPollsUntilItsWindowAppears) {
  SetMain(values::ProgramPath, "C:\\Program Files\\TQ\\TQP.EXE");
  WindowAppearsAfterSleeps(3);
  EXPECT_EQ(Send(kHandlerRoad.delivery), DeliveryOutcome::Delivered);
  const std::string start = "start \"C:\\Program Files\\TQ\\TQP.EXE\" /Invisible";
  EXPECT_EQ(world.log.events, (Events{kFindDefault, start, "sleep 100", kFindDefault, "sleep 100", kFindDefault,
                                      "sleep 100", kFindDefault, "sleep 300", CopyData(window), Foreground(window)}));
  ASSERT_EQ(world.programs.calls().size(), 1u);
  EXPECT_EQ(world.programs.calls()[0].idleTimeoutMs, 30000u);
  EXPECT_TRUE(world.desktop.messageBoxes().empty());
}

TEST_F(DeliveryTest, InterceptionGivesUpSilentlyAfterSixtyPolls) {
  SetMain(values::ProgramPath, "C:\\TQ\\TQP.EXE");
  EXPECT_EQ(Send(kHandlerRoad.delivery), DeliveryOutcome::WindowMissing);
  EXPECT_EQ(world.clock.sleeps(), std::vector<std::uint32_t>(60, 100));
  EXPECT_EQ(world.log.Count("find "), 61u);
  EXPECT_EQ(world.clock.now(), 6000u);
  EXPECT_TRUE(world.desktop.copyData().empty());
  EXPECT_TRUE(world.desktop.messageBoxes().empty());
  EXPECT_TRUE(world.desktop.foregroundChanges().empty());
}

TEST_F(DeliveryTest, AFailedStartIsReportedAndThePollingStillRuns) {
  SetMain(values::ProgramPath, "");
  world.programs.SetStartSucceeds(false);
  WindowAppearsAfterSleeps(60);
  EXPECT_EQ(Send(kHandlerRoad.delivery), DeliveryOutcome::Delivered) << "the last poll still counts";
  EXPECT_EQ(world.programs.calls().at(0).commandLine, "\"\" /Invisible");
  ASSERT_EQ(world.desktop.messageBoxes().size(), 1u);
  const auto& box = world.desktop.messageBoxes()[0];
  EXPECT_EQ(box.owner, 0u);
  EXPECT_EQ(box.text, "Cannot start Trevalon");
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.style, platform::message_box::Ok);
  EXPECT_EQ(world.log.events[2], "messagebox Error") << "after the start, before the first poll";
  EXPECT_EQ(world.clock.now(), 6300u);
}

TEST_F(DeliveryTest, AutomationOpensTheProgramThroughTheShellAndPollsFiftyTimes) {
  SetMain(values::ProgramPath, "C:\\Program Files\\TQ\\TQP.EXE");
  EXPECT_EQ(Send(kAutomationRoad.delivery), DeliveryOutcome::WindowMissing);
  ASSERT_EQ(world.programs.calls().size(), 1u);
  const auto& call = world.programs.calls()[0];
  EXPECT_EQ(call.kind, "shell");
  EXPECT_EQ(call.owner, 0u);
  EXPECT_EQ(call.verb, "open");
  EXPECT_EQ(call.commandLine, "C:\\Program Files\\TQ\\TQP.EXE") << "the file, unquoted";
  EXPECT_EQ(call.parameters, "/Invisible");
  EXPECT_EQ(call.showCommand, 5);
  EXPECT_EQ(world.clock.sleeps(), std::vector<std::uint32_t>(50, 100));
  EXPECT_EQ(world.log.Count("find "), 51u);
  EXPECT_TRUE(world.desktop.messageBoxes().empty());

  world.clock.OnSleep([this](std::size_t count) {
    if (count == 50 + 2) window = AddManager("any title");
  });
  world.log.events.clear();
  EXPECT_EQ(Send(kAutomationRoad.delivery), DeliveryOutcome::Delivered);
  EXPECT_EQ(world.log.events, (Events{kFindAny, "shell C:\\Program Files\\TQ\\TQP.EXE /Invisible", "sleep 100", kFindAny,
                                      "sleep 100", kFindAny, "sleep 300", CopyData(window)}));
}

TEST_F(DeliveryTest, NothingInstalledMeansProgramMissingWithoutAnyStartOrMessage) {
  for (const DeliveryRules& rules : {kHandlerRoad.delivery, kAutomationRoad.delivery}) {
    EXPECT_EQ(Send(rules), DeliveryOutcome::ProgramMissing);
  }
  EXPECT_TRUE(world.programs.calls().empty());
  EXPECT_TRUE(world.clock.sleeps().empty());
  EXPECT_TRUE(world.desktop.messageBoxes().empty());
}

TEST_F(DeliveryTest, AHungManagerCountsAsNotDelivered) {
  window = AddManager();
  world.desktop.SetHung(window, true);
  EXPECT_EQ(Send(kHandlerRoad.delivery), DeliveryOutcome::WindowMissing);
  EXPECT_EQ(Send(kAutomationRoad.delivery), DeliveryOutcome::WindowMissing);
  EXPECT_TRUE(world.desktop.foregroundChanges().empty());
  EXPECT_EQ(world.desktop.copyData().size(), 2u);
  EXPECT_EQ(world.desktop.copyData()[0].timeoutMs, 30000u);

  world.desktop.RemoveWindow(window);
  SetMain(values::ProgramPath, "C:\\TQ\\TQP.EXE");
  world.clock.OnSleep([this](std::size_t count) {
    if (count == 1) world.desktop.SetHung(window = AddManager(), true);
  });
  EXPECT_EQ(Send(kHandlerRoad.delivery), DeliveryOutcome::WindowMissing) << "a just-started manager that hangs";
  EXPECT_TRUE(world.desktop.foregroundChanges().empty());
}

TEST_F(DeliveryTest, ALongProgramPathIsPassedWhole) {
  const std::string path = "C:\\" + std::string(600, 'd') + "\\TQP.EXE";
  SetMain(values::ProgramPath, path);
  WindowAppearsAfterSleeps(1);
  EXPECT_EQ(Send(kHandlerRoad.delivery), DeliveryOutcome::Delivered);
  EXPECT_EQ(world.programs.calls().at(0).commandLine, "\"" + path + "\" /Invisible");
}

}  // namespace
}  // namespace vrpph
