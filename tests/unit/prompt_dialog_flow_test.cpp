// The whole prompt around its dialog: remembered actions, the file line's
// texts, what OK leaves for the next prompt, and the module-wide mode.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "prompt/dialog_ids.h"
#include "prompt/download_prompt.h"
#include "prompt/hosted_prompt_dialog.h"
#include "settings/contact_points.h"
#include "support/fake_dialog_host.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"
#include "url/url_names.h"

namespace vrpph {
namespace {

using platform::root::CurrentUser;
using testing::Press;
namespace ctl = prompt_control;

constexpr platform::WindowHandle kOwner = 0x4242;
constexpr const char* kUrl = "http://downloads.example.com/pub/Setup.ZIP?x=1";

class PromptDialogFlowTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::SetString(world.registry, CurrentUser, keys::Main, "Seed", "1"); }
  PromptOutcome Prompt(const std::string& url = kUrl, const std::optional<std::string>& name = std::nullopt) {
    return ShowDownloadPrompt(world.registry, prompt, openMode, kOwner, url, name, UrlExtension(url));
  }
  void Remember(const char* extension, std::uint32_t action) {
    testing::SetDword(world.registry, CurrentUser, keys::DefAction, extension, action);
  }
  std::optional<testing::StoredValue> Remembered(const char* extension) {
    return testing::GetValue(world.registry, CurrentUser, keys::DefAction, extension);
  }
  // The user picks a choice, sets the always-ask box and presses OK.
  void AnswerWith(int choice, bool alwaysAsk) {
    host.user = [choice, alwaysAsk](DownloadPromptDialog& dialog, testing::FakeDialogView& view) {
      view.Click(choice);
      if (!alwaysAsk) view.Click(ctl::AlwaysAsk);
      Press(dialog, ctl::Ok);
    };
  }

  testing::FakePlatform world;
  testing::FakeDialogHost host{world.platform};
  HostedPromptDialog prompt{world.platform, host};
  std::atomic<OpenMode> openMode{OpenMode::Open};
};

TEST_F(PromptDialogFlowTest, ARememberedActionOfZeroOrOneSkipsTheDialog) {
  Remember("zip", 1);
  EXPECT_EQ(Prompt().result, prompt_result::Proceed);
  EXPECT_EQ(openMode, OpenMode::Save);
  EXPECT_EQ(Prompt().openMode, OpenMode::Save);
  Remember("ZIP", 0);
  const PromptOutcome open = Prompt();
  EXPECT_EQ(open.result, prompt_result::Proceed);
  EXPECT_EQ(open.openMode, OpenMode::Open);
  EXPECT_EQ(openMode, OpenMode::Open);
  EXPECT_TRUE(host.owners.empty()) << "no dialog at all";
}

TEST_F(PromptDialogFlowTest, ARememberedTwoShowsTheDialogOwnedByTheCaller) {
  Remember("ZIP", 2);
  AnswerWith(ctl::SaveChoice, true);
  const PromptOutcome outcome = Prompt();
  EXPECT_EQ(outcome.result, prompt_result::Proceed);
  EXPECT_EQ(outcome.openMode, OpenMode::Save);
  EXPECT_EQ(openMode, OpenMode::Save);
  EXPECT_EQ(host.owners, (std::vector<platform::WindowHandle>{kOwner}));
  EXPECT_EQ(host.view->texts[ctl::FileLine], "Setup.ZIP  downloads.example.com");
}

TEST_F(PromptDialogFlowTest, SaveWithAlwaysAskClearedIsRememberedForTheExtension) {
  AnswerWith(ctl::SaveChoice, false);
  EXPECT_EQ(Prompt().result, prompt_result::Proceed);
  EXPECT_EQ(SettingsKey::Main(world.registry).Text(values::OpenMode).value, "SAVE");
  const auto remembered = Remembered("ZIP");
  ASSERT_TRUE(remembered);
  EXPECT_EQ(remembered->type, platform::value_type::Dword);
  EXPECT_EQ(remembered->bytes, (std::vector<std::uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(world.registry.KeyClass(CurrentUser, keys::DefAction), "Vask");

  host.user = nullptr;
  openMode = OpenMode::Open;
  EXPECT_EQ(Prompt("http://other.example.org/a/b.zip").result, prompt_result::Proceed);
  EXPECT_EQ(openMode, OpenMode::Save);
  EXPECT_EQ(host.owners.size(), 1u) << "the next prompt for the extension shows no dialog";
}

TEST_F(PromptDialogFlowTest, OkWithAlwaysAskCheckedRemembersNothing) {
  AnswerWith(ctl::RunChoice, true);
  openMode = OpenMode::Save;
  const PromptOutcome outcome = Prompt();
  EXPECT_EQ(outcome.openMode, OpenMode::Open);
  EXPECT_EQ(openMode, OpenMode::Open);
  EXPECT_EQ(SettingsKey::Main(world.registry).Text(values::OpenMode).value, "OPEN");
  EXPECT_EQ(SettingsKey::Main(world.registry).Text(values::SpeedMode).value, "0");
  EXPECT_FALSE(testing::KeyExists(world.registry, CurrentUser, keys::DefAction));
}

TEST_F(PromptDialogFlowTest, AUrlWithoutExtensionIsNeverRemembered) {
  AnswerWith(ctl::SaveChoice, false);
  EXPECT_EQ(Prompt("http://example.com/download/file").result, prompt_result::Proceed);
  EXPECT_FALSE(testing::KeyExists(world.registry, CurrentUser, keys::DefAction));
  EXPECT_EQ(openMode, OpenMode::Save);
}

TEST_F(PromptDialogFlowTest, CancelKeepsTheModuleWideModeAndStoresNothing) {
  openMode = OpenMode::Save;
  host.user = [](DownloadPromptDialog& dialog, testing::FakeDialogView& view) {
    view.Click(ctl::RunChoice);
    view.Click(ctl::AlwaysAsk);
    Press(dialog, ctl::Cancel);
  };
  const PromptOutcome outcome = Prompt();
  EXPECT_EQ(outcome.result, prompt_result::Cancelled);
  EXPECT_EQ(outcome.openMode, OpenMode::Save) << "the mode held before";
  EXPECT_EQ(openMode, OpenMode::Save);
  EXPECT_FALSE(testing::KeyExists(world.registry, CurrentUser, keys::DefAction));
  EXPECT_FALSE(SettingsKey::Main(world.registry).Text(values::OpenMode));
}

TEST_F(PromptDialogFlowTest, ADialogThatCannotBeCreatedRemembersNothingFromAnEarlierOne) {
  AnswerWith(ctl::SaveChoice, false);
  Remember("ZIP", 7);
  ASSERT_EQ(Prompt("http://example.com/a.exe").result, prompt_result::Proceed);
  host.cannotCreate = true;
  openMode = OpenMode::Open;
  const PromptOutcome outcome = Prompt();
  EXPECT_EQ(outcome.result, prompt_result::DialogFailed);
  EXPECT_EQ(openMode, OpenMode::Open);
  EXPECT_EQ(Remembered("ZIP")->bytes, (std::vector<std::uint8_t>{7, 0, 0, 0}));
}

TEST_F(PromptDialogFlowTest, AMissingModuleImageShowsNothing) {
  host.moduleLoaded = false;
  Remember("ZIP", 1);
  const PromptOutcome outcome = Prompt();
  EXPECT_EQ(outcome.result, prompt_result::ModuleMissing);
  EXPECT_EQ(openMode, OpenMode::Open);
  EXPECT_TRUE(host.owners.empty());
}

TEST_F(PromptDialogFlowTest, TheSuggestedNameIsCutTo39Bytes) {
  host.user = [](DownloadPromptDialog& dialog, testing::FakeDialogView&) { Press(dialog, ctl::Cancel); };
  const std::string sixty = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWX";
  ASSERT_EQ(sixty.size(), 60u);
  Prompt(kUrl, sixty);
  ASSERT_EQ(host.shownTexts.size(), 1u);
  EXPECT_EQ(host.shownTexts[0].fileText, sixty.substr(0, 39));
  EXPECT_EQ(host.view->texts[ctl::FileLine], sixty.substr(0, 39) + "  downloads.example.com");

  Prompt(kUrl, std::string("short\0hidden", 12));
  EXPECT_EQ(host.shownTexts[1].fileText, "short") << "a C text ends at its zero byte";
  Prompt(kUrl, std::string());
  EXPECT_EQ(host.shownTexts[2].fileText, "") << "an empty suggestion is still a suggestion";
}

TEST_F(PromptDialogFlowTest, LongFileNamesAndHostsFromTheUrlAreCut) {
  host.user = [](DownloadPromptDialog& dialog, testing::FakeDialogView&) { Press(dialog, ctl::Cancel); };
  const std::string host60 = std::string(60, 'h');
  const std::string file60 = std::string(56, 'f') + ".exe";
  Prompt("http://" + host60 + "/" + file60);
  EXPECT_EQ(host.shownTexts[0].fileText, file60.substr(0, 39));
  EXPECT_EQ(host.shownTexts[0].hostText, host60.substr(0, 49));
}

}  // namespace
}  // namespace vrpph
