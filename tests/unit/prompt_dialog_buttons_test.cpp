// The prompt's message table: the four buttons, the trackbar's
// notifications and the watch for Trevalon's options window.
#include <gtest/gtest.h>

#include <string>

#include "prompt/dialog_ids.h"
#include "prompt/prompt_dialog.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "support/fake_dialog_host.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"

namespace vrpph {
namespace {

using platform::root::CurrentUser;
using testing::Press;
namespace ctl = prompt_control;
namespace msg = prompt_message;

class PromptDialogButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::SetString(world.registry, CurrentUser, keys::Main, values::ProgramPath, "C:\\TQ\\TQP.EXE");
    dialog.HandleMessage(msg::InitDialog, 0, 0);
  }
  std::optional<std::string> Stored(const char* name) {
    return SettingsKey::Main(world.registry).Text(name);
  }
  platform::WindowHandle AddOptionsWindow(const std::string& title = manager::DefaultOptionsTitle) {
    return world.desktop.AddWindow(manager::WindowClass, title);
  }

  testing::FakePlatform world;
  testing::FakeDialogView view;
  DownloadPromptDialog dialog{view, world.platform, {"a.zip", "host"}};
};

TEST_F(PromptDialogButtonsTest, OkStoresSpeedAndModeAndReleasesKeyAndFont) {
  testing::SetString(world.registry, CurrentUser, keys::PromptStrings, values::FontName, "Arial");
  testing::FakeDialogView fresh;
  DownloadPromptDialog opened(fresh, world.platform, {});
  opened.HandleMessage(msg::InitDialog, 0, 0);
  EXPECT_EQ(world.registry.OpenHandleCount(), 1u) << "the Strings key is held while the dialog is up";
  EXPECT_EQ(fresh.LiveFonts(), 1u);

  fresh.DragTrackbar(3);
  fresh.Click(ctl::SaveChoice);
  EXPECT_EQ(Press(opened, ctl::Ok), 1);
  EXPECT_EQ(fresh.endResult, prompt_result::Proceed);
  EXPECT_EQ(Stored(values::SpeedMode), "3");
  EXPECT_EQ(Stored(values::OpenMode), "SAVE");
  EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
  EXPECT_EQ(fresh.LiveFonts(), 0u);
  const DialogOutcome outcome = opened.Outcome(*fresh.endResult);
  EXPECT_EQ(outcome.openMode, OpenMode::Save);
  EXPECT_FALSE(outcome.rememberChoice) << "always-ask stayed checked";
}

TEST_F(PromptDialogButtonsTest, OkWithTheRunChoiceAndAlwaysAskClearedRemembersOpen) {
  view.Click(ctl::AlwaysAsk);
  Press(dialog, ctl::Ok);
  EXPECT_EQ(Stored(values::OpenMode), "OPEN");
  EXPECT_EQ(Stored(values::SpeedMode), "0");
  const DialogOutcome outcome = dialog.Outcome(*view.endResult);
  EXPECT_EQ(outcome.openMode, OpenMode::Open);
  EXPECT_TRUE(outcome.rememberChoice);
}

TEST_F(PromptDialogButtonsTest, OnlyACheckStateOfExactlyOneCountsAsChecked) {
  // BM_GETCHECK answers 2 for an indeterminate box: not "checked".
  view.checks[ctl::RunChoice] = 2;
  view.checks[ctl::AlwaysAsk] = 2;
  Press(dialog, ctl::Ok);
  EXPECT_EQ(Stored(values::OpenMode), "SAVE");
  EXPECT_TRUE(dialog.Outcome(1).rememberChoice);
}

TEST_F(PromptDialogButtonsTest, OkWithoutTheMainKeyStillEndsTheDialog) {
  testing::DeleteTree(world.registry, CurrentUser, keys::Main);
  view.Click(ctl::SaveChoice);
  Press(dialog, ctl::Ok);
  EXPECT_EQ(view.endResult, prompt_result::Proceed);
  EXPECT_EQ(dialog.Outcome(1).openMode, OpenMode::Save);
  EXPECT_FALSE(testing::KeyExists(world.registry, CurrentUser, keys::Main)) << "nothing creates the main key";
}

TEST_F(PromptDialogButtonsTest, CancelWritesNothingAndReleasesEverything) {
  const std::size_t callsBefore = world.registry.CallCount();
  view.Click(ctl::SaveChoice);
  view.Click(ctl::AlwaysAsk);
  EXPECT_EQ(Press(dialog, ctl::Cancel), 1);
  EXPECT_EQ(world.registry.CallCount(), callsBefore) << "no Strings key was open, and nothing is written";
  EXPECT_EQ(view.endResult, prompt_result::Cancelled);
  EXPECT_FALSE(Stored(values::OpenMode));
  EXPECT_FALSE(Stored(values::SpeedMode));
  EXPECT_EQ(view.LiveFonts(), 0u);
  EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
  const DialogOutcome outcome = dialog.Outcome(*view.endResult);
  EXPECT_FALSE(outcome.rememberChoice);
}

TEST_F(PromptDialogButtonsTest, AboutStartsTheProgramOwnedByTheDialog) {
  EXPECT_EQ(Press(dialog, ctl::About), 1);
  ASSERT_EQ(world.programs.calls().size(), 1u);
  const auto& call = world.programs.calls()[0];
  EXPECT_EQ(call.kind, "shell");
  EXPECT_EQ(call.owner, view.window);
  EXPECT_EQ(call.verb, "open");
  EXPECT_EQ(call.commandLine, "C:\\TQ\\TQP.EXE");
  EXPECT_EQ(call.parameters, "/About");
  EXPECT_EQ(call.showCommand, 5);
  EXPECT_FALSE(view.endResult) << "the dialog stays open";
}

TEST_F(PromptDialogButtonsTest, AdvancedBlocksEveryButtonUntilAnActivationFindsNoOptionsWindow) {
  EXPECT_EQ(Press(dialog, ctl::Advanced), 1);
  ASSERT_EQ(world.programs.calls().size(), 1u);
  EXPECT_EQ(world.programs.calls()[0].parameters, " /Options");
  EXPECT_EQ(world.programs.calls()[0].owner, 0u);
  EXPECT_EQ(world.programs.calls()[0].showCommand, 1);
  EXPECT_TRUE(dialog.OptionsPending());

  const platform::WindowHandle options = AddOptionsWindow();
  // Escape and the close box arrive as Cancel.
  for (int button : {ctl::Ok, ctl::Cancel, ctl::Advanced, ctl::About}) EXPECT_EQ(Press(dialog, button), 1);
  EXPECT_FALSE(view.endResult);
  EXPECT_EQ(world.programs.calls().size(), 1u) << "neither Advanced nor About starts anything";

  // While the options window is up, activating the dialog leads back to it.
  EXPECT_EQ(dialog.HandleMessage(msg::MouseActivate, 0, 0), msg::NoActivate);
  EXPECT_EQ(dialog.HandleMessage(msg::Activate, msg::ActiveNotMinimised, 0), 0);
  EXPECT_EQ(view.raised, (std::vector<platform::WindowHandle>{options, options}));
  EXPECT_TRUE(world.desktop.foregroundChanges().empty()) << "only the posted message changes the foreground";
  EXPECT_EQ(dialog.HandleMessage(msg::RaiseOptions, options, 0), 0);
  EXPECT_EQ(world.desktop.foregroundChanges(), (std::vector<platform::WindowHandle>{options}));

  // A minimised or click activation (WA_CLICKACTIVE) does not look.
  world.desktop.RemoveWindow(options);
  EXPECT_EQ(dialog.HandleMessage(msg::Activate, 0x10001, 0), 1);
  EXPECT_EQ(dialog.HandleMessage(msg::Activate, 2, 0), 1);
  EXPECT_TRUE(dialog.OptionsPending());

  EXPECT_EQ(dialog.HandleMessage(msg::Activate, msg::ActiveNotMinimised, 0), 1);
  EXPECT_FALSE(dialog.OptionsPending());
  Press(dialog, ctl::Ok);
  EXPECT_EQ(view.endResult, prompt_result::Proceed);
}

TEST_F(PromptDialogButtonsTest, AMouseActivationThatFindsNoWindowUnblocksToo) {
  Press(dialog, ctl::Advanced);
  EXPECT_EQ(dialog.HandleMessage(msg::MouseActivate, 0, 0), 1);
  EXPECT_FALSE(dialog.OptionsPending());
  Press(dialog, ctl::Cancel);
  EXPECT_EQ(view.endResult, prompt_result::Cancelled);
}

TEST_F(PromptDialogButtonsTest, TheOptionsWindowIsFoundByItsLocalisedTitle) {
  testing::SetString(world.registry, CurrentUser, keys::Strings, "42", "Optionen");
  Press(dialog, ctl::Advanced);
  AddOptionsWindow();  // the English title is not the one looked for
  world.desktop.AddWindow("OtherClass", "Optionen");
  EXPECT_EQ(dialog.HandleMessage(msg::MouseActivate, 0, 0), 1);
  EXPECT_FALSE(dialog.OptionsPending());

  Press(dialog, ctl::Advanced);
  const platform::WindowHandle options = AddOptionsWindow("Optionen");
  EXPECT_EQ(dialog.HandleMessage(msg::MouseActivate, 0, 0), msg::NoActivate);
  EXPECT_EQ(view.raised.back(), options);
}

TEST_F(PromptDialogButtonsTest, AdvancedWithoutTheProgramLeavesTheDialogUsable) {
  testing::DeleteTree(world.registry, CurrentUser, keys::Main);
  Press(dialog, ctl::Advanced);
  Press(dialog, ctl::About);
  EXPECT_TRUE(world.programs.calls().empty());
  EXPECT_FALSE(dialog.OptionsPending());
  EXPECT_EQ(dialog.HandleMessage(msg::MouseActivate, 0, 0), 1);
  EXPECT_TRUE(view.raised.empty()) << "nothing is looked for";
  Press(dialog, ctl::Ok);
  EXPECT_EQ(view.endResult, prompt_result::Proceed);
}

TEST_F(PromptDialogButtonsTest, OtherCommandsAndMessagesDoNothing) {
  const std::size_t calls = view.calls.size();
  EXPECT_EQ(Press(dialog, ctl::RunChoice), 1);
  EXPECT_EQ(Press(dialog, 0), 1);
  // The notification code in the high word is not looked at.
  EXPECT_EQ(dialog.HandleMessage(msg::Command, (1u << 16) | 9999u, 0), 1);
  EXPECT_EQ(dialog.HandleMessage(msg::Notify, ctl::AlwaysAsk, 0), 1);
  EXPECT_EQ(dialog.HandleMessage(0x000F /* WM_PAINT */, 0, 0), 0);
  EXPECT_EQ(dialog.HandleMessage(0x0010 /* WM_CLOSE */, 0, 0), 0);
  EXPECT_EQ(view.calls.size(), calls);
  EXPECT_FALSE(view.endResult);
}

TEST_F(PromptDialogButtonsTest, TrackbarNotificationsFollowTheThumbWithoutRepaintingForEver) {
  for (const char* id : {"23", "24", "25", "26"}) {
    testing::SetString(world.registry, CurrentUser, keys::PromptStrings, id, std::string("speed ") + id);
  }
  testing::FakeDialogView fresh;
  DownloadPromptDialog opened(fresh, world.platform, {});
  opened.HandleMessage(msg::InitDialog, 0, 0);
  EXPECT_EQ(fresh.texts[ctl::SpeedLabel], "speed 23");

  // Custom drawing notifies over and over at the same position: nothing
  // that would redraw again is sent.
  fresh.calls.clear();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(opened.HandleMessage(msg::Notify, ctl::Speed, 0), 1);
  EXPECT_TRUE(fresh.calls.empty());

  fresh.DragTrackbar(2);
  // The notification code sits in the high word only for WM_COMMAND; for
  // WM_NOTIFY wParam is the control id, high bits ignored as well.
  opened.HandleMessage(msg::Notify, (7u << 16) | ctl::Speed, 0);
  EXPECT_EQ(fresh.texts[ctl::SpeedLabel], "speed 25");
  EXPECT_EQ(fresh.calls, (std::vector<std::string>{"text 201"}));

  // A label changed by Trevalon in the meantime shows at the next notification.
  testing::SetString(world.registry, CurrentUser, keys::PromptStrings, "25", "changed");
  opened.HandleMessage(msg::Notify, ctl::Speed, 0);
  EXPECT_EQ(fresh.texts[ctl::SpeedLabel], "changed");

  opened.SetSpeedMode(1);
  EXPECT_EQ(fresh.trackbarPosition, 1);
  EXPECT_EQ(fresh.texts[ctl::SpeedLabel], "speed 24");
}

TEST_F(PromptDialogButtonsTest, OkAfterStoredSpeedTwoWritesTwoBack) {
  testing::SetString(world.registry, CurrentUser, keys::Main, values::SpeedMode, "2");
  testing::SetString(world.registry, CurrentUser, keys::PromptStrings, "25", "Fast");
  testing::FakeDialogView fresh;
  DownloadPromptDialog opened(fresh, world.platform, {});
  opened.HandleMessage(msg::InitDialog, 0, 0);
  EXPECT_EQ(fresh.trackbarPosition, 2);
  EXPECT_EQ(fresh.texts[ctl::SpeedLabel], "Fast");
  Press(opened, ctl::Ok);
  EXPECT_EQ(Stored(values::SpeedMode), "2");
}

TEST_F(PromptDialogButtonsTest, TwoDialogsOpenAtOnceShareNoState) {
  testing::SetString(world.registry, CurrentUser, keys::PromptStrings, values::FontName, "Arial");
  testing::FakeDialogView firstView;
  testing::FakeDialogView secondView;
  DownloadPromptDialog first(firstView, world.platform, {"a.zip", "here"});
  DownloadPromptDialog second(secondView, world.platform, {"b.exe", "elsewhere"});
  first.HandleMessage(msg::InitDialog, 0, 0);
  second.HandleMessage(msg::InitDialog, 0, 0);
  EXPECT_EQ(firstView.texts[ctl::FileLine], "a.zip  here");
  EXPECT_EQ(secondView.texts[ctl::FileLine], "b.exe  elsewhere");

  Press(first, ctl::Advanced);
  AddOptionsWindow();
  secondView.Click(ctl::SaveChoice);
  secondView.Click(ctl::AlwaysAsk);
  Press(second, ctl::Ok);
  EXPECT_EQ(secondView.endResult, prompt_result::Proceed) << "the first dialog's Advanced does not block this one";
  EXPECT_TRUE(second.Outcome(1).rememberChoice);
  EXPECT_EQ(second.Outcome(1).openMode, OpenMode::Save);

  EXPECT_TRUE(first.OptionsPending());
  EXPECT_FALSE(first.Outcome(2).rememberChoice) << "nor does the second's OK decide for the first";
  EXPECT_EQ(first.Outcome(2).openMode, OpenMode::Open);
  EXPECT_EQ(firstView.LiveFonts(), 1u) << "the first dialog's font outlives the second's OK";
  EXPECT_EQ(secondView.LiveFonts(), 0u);
  EXPECT_EQ(world.registry.OpenHandleCount(), 1u) << "and so does its Strings key";
}

}  // namespace
}  // namespace vrpph
