#include "automation/automation_api.h"

#include <gtest/gtest.h>

#include <atomic>

#include "sequence/services.h"
#include "settings/contact_points.h"
#include "support/fake_download_services.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"
#include "support/scripted_prompt_dialog.h"

namespace vrpph {
namespace {

using platform::root::CurrentUser;
using testing::FakeDownloadServices;

constexpr platform::WindowHandle kForeground = 0x6060;
const PromptOutcome kSave{prompt_result::Proceed, OpenMode::Save};
const PromptOutcome kOpen{prompt_result::Proceed, OpenMode::Open};

class DownloadFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.desktop.SetForeground(kForeground);
    testing::SetString(world.registry, CurrentUser, keys::Main, values::AcceptingTypes, "ZIP, EXE, ");
  }
  // Each text null when not given.
  void Call(const char16_t* url, const char16_t* referer, const char16_t* path) {
    DownloadFile(world.platform, services, DownloadFileRequest{url, referer, path});
  }
  std::string Record() const {
    const std::size_t count = services.deliveries.size();
    return count == 1 ? services.deliveries[0].record : "<" + std::to_string(count) + " records>";
  }

  testing::FakePlatform world;
  FakeDownloadServices services{&world.log};
};

TEST_F(DownloadFileTest, AGivenPathIsSavedToWithoutPausedCheckOrFileName) {
  services.promptAnswer = kSave;
  services.pausedPath = "C:\\paused.zip";
  Call(u"http://h/get?f=a.zip", u"http://ref/page", u"D:\\dl\\a.zip");
  EXPECT_EQ(world.log.events, (std::vector<std::string>{"prompt http://h/get?f=a.zip", "deliver"}));
  ASSERT_EQ(services.prompts.size(), 1u);
  EXPECT_EQ(services.prompts[0].owner, kForeground);
  EXPECT_EQ(services.prompts[0].suggestedName, std::nullopt) << "a usable path means no file-name lookup";
  EXPECT_EQ(Record(), "URL=http://h/get?f=a.zip\nReferer=http://ref/page\nPath=D:\\dl\\a.zip");
  EXPECT_EQ(services.deliveries[0].owner, kForeground);
  EXPECT_EQ(services.deliveries[0].rules, kAutomationRoad.delivery);
}

TEST_F(DownloadFileTest, OpenModeSendsOpenWhateverPathWasGiven) {
  services.promptAnswer = kOpen;
  Call(u"ftp://server/a.zip", nullptr, u"D:\\dl\\a.zip");
  EXPECT_EQ(Record(), "URL=ftp://server/a.zip\nReferer=\nPath=OPEN");
  EXPECT_EQ(Record().size(), 41u);
  EXPECT_TRUE(services.pausedChecks.empty());
}

TEST_F(DownloadFileTest, APathShorterThanThreeBytesCountsAsNone) {
  services.promptAnswer = kSave;
  services.pausedPath = "C:\\partial\\setup.exe";
  Call(u"http://h/dl.php?name=setup.exe", u"", u"C:");
  ASSERT_EQ(services.prompts.size(), 1u);
  EXPECT_EQ(services.prompts[0].suggestedName, "setup.exe");
  ASSERT_EQ(services.pausedChecks.size(), 1u);
  EXPECT_EQ(services.pausedChecks[0].owner, kForeground);
  EXPECT_EQ(services.pausedChecks[0].url, "http://h/dl.php?name=setup.exe");
  EXPECT_EQ(Record(), "URL=http://h/dl.php?name=setup.exe\nReferer=\nPath=C:\\partial\\setup.exe\nFileName=setup.exe");

  services = FakeDownloadServices();
  services.promptAnswer = kSave;
  Call(u"http://h/dl.php?name=setup.exe", nullptr, u"C:\\");
  EXPECT_TRUE(services.pausedChecks.empty()) << "three bytes are a path";
  EXPECT_EQ(Record(), "URL=http://h/dl.php?name=setup.exe\nReferer=\nPath=C:\\");
}

TEST_F(DownloadFileTest, SaveModeWithoutPathOrPausedDownloadSendsAnEmptyPath) {
  services.promptAnswer = kSave;
  Call(u"http://h/a.zip", nullptr, nullptr);
  EXPECT_EQ(services.pausedChecks.size(), 1u);
  ASSERT_EQ(services.prompts.size(), 1u);
  EXPECT_EQ(services.prompts[0].suggestedName, std::nullopt) << "the last segment already names an accepted file";
  EXPECT_EQ(Record(), "URL=http://h/a.zip\nReferer=\nPath=");
}

TEST_F(DownloadFileTest, OnlyACancelStopsTheHandOff) {
  services.promptAnswer = {prompt_result::Cancelled, OpenMode::Save};
  Call(u"http://h/a.zip", nullptr, nullptr);
  EXPECT_EQ(world.log.events, (std::vector<std::string>{"prompt http://h/a.zip"}));

  // A missing module image or a failed dialog leaves the mode held before.
  for (int result : {prompt_result::ModuleMissing, prompt_result::DialogFailed}) {
    services = FakeDownloadServices();
    services.promptAnswer = {result, OpenMode::Open};
    Call(u"http://h/a.zip", nullptr, u"D:\\a.zip");
    EXPECT_EQ(Record(), "URL=http://h/a.zip\nReferer=\nPath=OPEN") << result;
  }
}

TEST_F(DownloadFileTest, QueriesAreDecodedUnlessDecodingIsOff) {
  Call(u"http://h/a%20b.zip?x=%41", nullptr, nullptr);
  EXPECT_EQ(services.prompts.at(0).url, "http://h/a b.zip?x=A");

  testing::SetString(world.registry, CurrentUser, keys::Main, values::DecodeUrls, "FALSE");
  services = FakeDownloadServices();
  Call(u"http://h/a%20b.zip", nullptr, nullptr);
  EXPECT_EQ(services.prompts.at(0).url, "http://h/a%20b.zip");
}

// Without a path the record names the file; an escaped letter's readable
// name does when nothing else in the URL names an accepted file.
TEST_F(DownloadFileTest, AnEscapedLetterTravelsAsTheFileNameWhenNoPathIsGiven) {
  Call(u"http://h/%C3%9Cber%20sicht.zip?lang=%C3%A4", nullptr, nullptr);
  EXPECT_EQ(services.prompts.at(0).suggestedName, "\xDC" "ber sicht.zip");
  EXPECT_EQ(Record(), "URL=http://h/%C3%9Cber sicht.zip?lang=%C3%A4\nReferer=\nPath=OPEN\nFileName=\xDC" "ber sicht.zip");

  services = FakeDownloadServices();
  Call(u"http://h/%C3%9C.zip", nullptr, u"C:\\d\\u.zip");
  EXPECT_EQ(Record(), "URL=http://h/%C3%9C.zip\nReferer=\nPath=OPEN") << "the path names the file";

  testing::SetString(world.registry, CurrentUser, keys::Main, values::DecodeUrls, "FALSE");
  services = FakeDownloadServices();
  Call(u"http://h/%C3%9C.zip", nullptr, nullptr);
  EXPECT_EQ(Record(), "URL=http://h/%C3%9C.zip\nReferer=\nPath=OPEN") << "no decoding, no readable name";
}

TEST_F(DownloadFileTest, ALineBreakInAnyTextSendsNothing) {
  services.promptAnswer = kSave;
  Call(u"http://h/a.zip", u"x\nPath=C:\\Startup\\run.exe", nullptr);
  Call(u"http://h/a.zip", nullptr, u"D:\\dl\\a.zip\r\nFileName=run.exe");
  Call(u"http://h/x\nPath=C:\\run.exe\na.zip", nullptr, nullptr);
  EXPECT_TRUE(services.deliveries.empty());
  EXPECT_TRUE(services.prompts.empty()) << "refused before the user is asked";
  Call(u"http://h/a%0APath=C:%5Crun.exe%0A.zip", nullptr, nullptr);
  EXPECT_EQ(Record(), "URL=http://h/a%0APath=C:%5Crun.exe%0A.zip\nReferer=\nPath=") << "an escape stays escaped";
}

TEST_F(DownloadFileTest, NoUrlOrNoConversionMeansNothingAtAll) {
  Call(nullptr, u"http://ref/", u"D:\\a.zip");
  world.text.FailConversions(true);
  Call(u"http://h/a.zip", nullptr, nullptr);
  EXPECT_TRUE(world.log.events.empty());
}

// The real prompt, paused-download check and delivery over the fakes.
class DownloadFileHandOffTest : public DownloadFileTest {
 protected:
  void Remember(const char* extension, OpenMode action) {
    testing::SetDword(world.registry, CurrentUser, keys::DefAction, extension, StoredAction(action));
  }
  void Handoff(const char16_t* url, const char16_t* referer, const char16_t* path) {
    testing::ScriptedPromptDialog dialog;
    ModuleServices real(world.platform, openMode, dialog);
    DownloadFile(world.platform, real, DownloadFileRequest{url, referer, path});
  }
  std::atomic<OpenMode> openMode{OpenMode::Open};
};

TEST_F(DownloadFileHandOffTest, TheManagerWindowOfAnyTitleGetsTheRecordAndStaysBehind) {
  Remember("zip", OpenMode::Save);
  const auto window = world.desktop.AddWindow(manager::WindowClass, "Some other title");
  testing::SetString(world.registry, CurrentUser, keys::PausedUrls, "http://h/a.zipFilename", "C:\\a.zip");
  world.files.Add("C:\\a.zip.TQ");
  world.desktop.QueueMessageBoxAnswer(platform::message_box::IdYes);
  Handoff(u"http://h/a.zip", u"http://ref/", nullptr);
  ASSERT_EQ(world.desktop.copyData().size(), 1u);
  EXPECT_EQ(world.desktop.copyData()[0].window, window);
  EXPECT_EQ(world.desktop.copyData()[0].dwData, kForeground);
  EXPECT_EQ(world.desktop.copyData()[0].bytes, "URL=http://h/a.zip\nReferer=http://ref/\nPath=C:\\a.zip");
  ASSERT_EQ(world.desktop.messageBoxes().size(), 1u) << "the paused-download question";
  EXPECT_EQ(world.desktop.messageBoxes()[0].owner, kForeground);
  EXPECT_TRUE(world.desktop.foregroundChanges().empty());
  EXPECT_EQ(openMode.load(), OpenMode::Save);
}

TEST_F(DownloadFileHandOffTest, AMissingManagerMeansNothingSentAndNothingShown) {
  Remember("zip", OpenMode::Open);
  Handoff(u"http://h/a.zip", nullptr, nullptr);
  EXPECT_TRUE(world.desktop.copyData().empty());
  EXPECT_TRUE(world.desktop.messageBoxes().empty());
  EXPECT_TRUE(world.programs.calls().empty());

  // No remembered action: the dialog cannot come up, and the record still
  // goes out in the mode held before, here through a started manager.
  testing::SetString(world.registry, CurrentUser, keys::Main, values::ProgramPath, "C:\\TQ\\TQP.EXE");
  world.programs.OnStart([this] { world.desktop.AddWindow(manager::WindowClass, manager::DefaultTitle); });
  Handoff(u"http://h/b.rar", nullptr, u"D:\\b.rar");
  ASSERT_EQ(world.programs.calls().size(), 1u);
  EXPECT_EQ(world.programs.calls()[0].kind, "shell");
  EXPECT_EQ(world.programs.calls()[0].parameters, "/Invisible");
  ASSERT_EQ(world.desktop.copyData().size(), 1u);
  EXPECT_EQ(world.desktop.copyData()[0].bytes, "URL=http://h/b.rar\nReferer=\nPath=OPEN");
}

TEST(TQUninstallTest, RunsTheLocatedProgramWithItsSwitchOrNothing) {
  testing::FakePlatform world;
  TQUninstall(world.platform);
  EXPECT_TRUE(world.programs.calls().empty());

  testing::SetString(world.registry, CurrentUser, keys::Main, values::ProgramPath, "C:\\Program Files\\TQ\\TQP.EXE");
  TQUninstall(world.platform);
  ASSERT_EQ(world.programs.calls().size(), 1u);
  EXPECT_EQ(world.programs.calls()[0].kind, "winexec");
  EXPECT_EQ(world.programs.calls()[0].commandLine, "\"C:\\Program Files\\TQ\\TQP.EXE\" /UnInstall");
  EXPECT_EQ(world.programs.calls()[0].showCommand, 5);
}

}  // namespace
}  // namespace vrpph
