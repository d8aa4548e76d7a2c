#include "prompt/download_prompt.h"

#include <gtest/gtest.h>

#include "core/outcomes.h"
#include "sequence/services.h"
#include "settings/contact_points.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"
#include "support/scripted_prompt_dialog.h"
#include "url/url_names.h"

namespace vrpph {
namespace {

using platform::root::CurrentUser;

// A dialog that proceeds in save mode unless told otherwise.
testing::ScriptedPromptDialog Proceeding() {
  testing::ScriptedPromptDialog dialog;
  dialog.result = prompt_result::Proceed;
  dialog.chosenMode = OpenMode::Save;
  return dialog;
}

class DownloadPromptTest : public ::testing::Test {
 protected:
  int Prompt(const std::string& url, const std::optional<std::string>& name = std::nullopt) {
    PromptOutcome outcome = ShowDownloadPrompt(world.registry, dialog, openMode, 0x99, url, name, UrlExtension(url));
    EXPECT_EQ(outcome.openMode, openMode.load()) << "the outcome carries the module-wide mode";
    return outcome.result;
  }
  void Remember(const char* extension, std::uint32_t action) {
    testing::SetDword(world.registry, CurrentUser, keys::DefAction, extension, action);
  }
  testing::FakePlatform world;
  testing::ScriptedPromptDialog dialog = Proceeding();
  std::atomic<OpenMode> openMode{OpenMode::Open};
};

TEST_F(DownloadPromptTest, ARememberedActionAppliesWithoutTheDialog) {
  Remember("zip", StoredAction(OpenMode::Save));
  Remember("exe", StoredAction(OpenMode::Open));
  EXPECT_EQ(Prompt("http://h/a.ZIP?x=1"), prompt_result::Proceed) << "value names ignore case";
  EXPECT_EQ(openMode.load(), OpenMode::Save);
  EXPECT_EQ(Prompt("http://h/setup.exe"), prompt_result::Proceed);
  EXPECT_EQ(openMode.load(), OpenMode::Open);
  EXPECT_EQ(dialog.runs, 0);
  EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
}

TEST_F(DownloadPromptTest, OtherwiseTheDialogDecides) {
  Remember("zip", 2);
  Remember("rar", 0xFFFFFFFFu);
  openMode = OpenMode::Open;
  EXPECT_EQ(Prompt("http://h/a.zip", "named.zip"), prompt_result::Proceed) << "2 is no remembered action";
  EXPECT_EQ(dialog.runs, 1);
  EXPECT_EQ(dialog.seenOwner, 0x99u);
  EXPECT_EQ(dialog.seenUrl, "http://h/a.zip");
  EXPECT_EQ(dialog.seenName, "named.zip");
  EXPECT_EQ(dialog.seenExtension, "zip");
  EXPECT_EQ(openMode.load(), OpenMode::Save);

  dialog.result = prompt_result::Cancelled;
  dialog.chosenMode = OpenMode::Open;
  EXPECT_EQ(Prompt("http://h/a.rar"), prompt_result::Cancelled);
  EXPECT_EQ(Prompt("http://h/"), prompt_result::Cancelled);
  EXPECT_EQ(dialog.seenExtension, std::nullopt);
  EXPECT_EQ(openMode.load(), OpenMode::Save) << "untouched by a cancelled dialog";
}

TEST_F(DownloadPromptTest, AMissingModuleImageEndsThePromptFirst) {
  Remember("zip", StoredAction(OpenMode::Save));
  dialog.moduleLoaded = false;
  std::size_t calls = world.registry.CallCount();
  EXPECT_EQ(Prompt("http://h/a.zip"), prompt_result::ModuleMissing);
  EXPECT_EQ(world.registry.CallCount(), calls);
  EXPECT_EQ(openMode.load(), OpenMode::Open);
  EXPECT_EQ(dialog.runs, 0);
}

TEST(ModuleServicesTest, RunThePromptOverTheModuleWideMode) {
  testing::FakePlatform world;
  std::atomic<OpenMode> mode{OpenMode::Save};
  testing::ScriptedPromptDialog unavailable;
  ModuleServices services(world.platform, mode, unavailable);
  PromptOutcome outcome = services.ShowDownloadPrompt(0, "http://h/a.zip", std::nullopt, "zip");
  EXPECT_EQ(outcome.result, prompt_result::DialogFailed);
  EXPECT_EQ(outcome.openMode, OpenMode::Save) << "the mode held before";

  testing::SetDword(world.registry, CurrentUser, keys::DefAction, "zip", StoredAction(OpenMode::Open));
  outcome = services.ShowDownloadPrompt(0, "http://h/a.zip", std::nullopt, "zip");
  EXPECT_EQ(outcome.result, prompt_result::Proceed);
  EXPECT_EQ(outcome.openMode, OpenMode::Open);
  EXPECT_EQ(mode.load(), OpenMode::Open);

  testing::ScriptedPromptDialog missing;
  missing.moduleLoaded = false;
  ModuleServices withDialog(world.platform, mode, missing);
  EXPECT_EQ(withDialog.ShowDownloadPrompt(0, "http://h/a.zip", std::nullopt, "zip").result, prompt_result::ModuleMissing);
}

}  // namespace
}  // namespace vrpph
