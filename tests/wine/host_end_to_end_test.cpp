// The whole module as its users meet it: vrpph.dll registered as the
// name-space handler, loaded through COM by the browser host, a click
// navigated through Wine's urlmon, and the stand-in download manager's log
// of what it received. One test for each way a navigation ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "wine/support/browser_host_run.h"
#include "wine/support/handler_registration.h"
#include "wine/support/interception_settings.h"
#include "wine/support/standin_manager.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using platform::root::CurrentUser;
constexpr DWORD kWaitMs = 15000;
constexpr std::uint32_t kOpen = 0;
constexpr std::uint32_t kSave = 1;
constexpr const char* kTaken = "taken";
constexpr const char* kDeclined = "declined";

std::vector<std::string> Kinds(const std::vector<ManagerLogEntry>& entries) {
  std::vector<std::string> kinds;
  for (const auto& entry : entries) kinds.push_back(entry.kind);
  return kinds;
}

class HostEndToEndWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(registration_.RegisterResult(), 0) << "regsvr32 vrpph.dll";
    settings_.Main(values::AcceptingTypes, "ZIP, EXE, ");
    Remember("ZIP", kOpen);
  }

  // The remembered action for `extension`, so that no prompt is shown.
  void Remember(const char* extension, std::uint32_t action) {
    testing::SetDword(settings_.registry, CurrentUser, keys::DefAction, extension, action);
  }
  void Forget(const char* extension) { DeleteValue(keys::DefAction, extension); }
  void DeleteValue(const char* path, const char* name) {
    auto key = platform::OpenRegKey(settings_.registry, CurrentUser, path, platform::access::AllAccess);
    ASSERT_TRUE(key);
    ASSERT_EQ(settings_.registry.DeleteValue(key.get(), name), platform::status::Success);
  }

  // A private copy of the stand-in manager, `claimed` its claimed URLs.
  StandInManager& Manager(const std::vector<std::string>& claimed = {}) {
    if (!manager_) manager_ = std::make_unique<StandInManager>(claimed);
    return *manager_;
  }
  // The same, started with its window up, as a user starts it.
  StandInManager& RunningManager(const std::vector<std::string>& claimed = {}) {
    StandInManager& manager = Manager(claimed);
    EXPECT_TRUE(manager.Launch(""));
    EXPECT_NE(StandInManager::WaitForWindow(kManagerClass, manager::DefaultTitle, kWaitMs), nullptr);
    return manager;
  }

  // One navigation through the host; its line of the report.
  HostNavigation Browse(const std::vector<std::string>& arguments, int dialogButton = IDOK) {
    run_ = RunBrowserHost(arguments, dialogButton);
    EXPECT_TRUE(run_.finished) << run_.output << run_.errors;
    EXPECT_EQ(run_.exitCode, 0u) << run_.output << run_.errors;
    EXPECT_EQ(run_.navigations.size(), 1u) << run_.output << run_.errors;
    return run_.navigations.empty() ? HostNavigation{} : run_.navigations.front();
  }

  HandlerRegistration registration_;
  SeededSettings settings_;
  std::unique_ptr<StandInManager> manager_;
  HostRun run_;
};

// Long forms, so that a short registered path names the same file.
std::string LongPath(const std::string& path) {
  char full[MAX_PATH * 2] = {};
  const DWORD length = GetLongPathNameA(path.c_str(), full, sizeof full);
  return length && length < sizeof full ? std::string(full, length) : path;
}

TEST_F(HostEndToEndWineTest, TheHostLoadsTheRegisteredHandlerForEachScheme) {
  const std::string registered = HandlerRegistration::RegisteredModule();
  ASSERT_EQ(LongPath(registered), LongPath(VrpphDllPath())) << "InprocServer32 names the DLL beside the tests";
  run_ = RunBrowserHost({"http://host/a.rar", "https://host/b.rar", "ftp://host/c.rar"});
  ASSERT_TRUE(run_.finished);
  EXPECT_EQ(run_.exitCode, 0u) << run_.errors;
  ASSERT_EQ(run_.handlerLines.size(), 3u) << run_.output;
  const char* schemes[] = {"http", "https", "ftp"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(run_.handlerLines[i].find(std::string("handler  ") + schemes[i] + " "), 0u) << run_.handlerLines[i];
    const std::string expected = " REZUrozuZudoviz {E131C96E-4DDB-11D4-84B8-008048B33DEA} registered " + registered;
    EXPECT_NE(run_.handlerLines[i].find(expected), std::string::npos)
        << run_.handlerLines[i];
  }
  ASSERT_EQ(run_.navigations.size(), 3u);
  for (const auto& navigation : run_.navigations) {
    EXPECT_EQ(navigation.decision, kDeclined) << navigation.url << ": RAR is not accepted";
    EXPECT_EQ(navigation.result, "0x800C0011");
  }
}

TEST_F(HostEndToEndWineTest, WithoutARegisteredHandlerThereIsNothingToNavigateWith) {
  ASSERT_EQ(registration_.Remove(), 0) << "regsvr32 /u vrpph.dll";
  run_ = RunBrowserHost({"http://host/a.zip"});
  ASSERT_TRUE(run_.finished);
  EXPECT_EQ(run_.exitCode, 1u);
  EXPECT_TRUE(run_.navigations.empty());
  EXPECT_NE(run_.errors.find("no name-space handler"), std::string::npos) << run_.errors;
}

TEST_F(HostEndToEndWineTest, AUrlOfAnotherSchemeIsNotNavigated) {
  run_ = RunBrowserHost({"gopher://host/a.zip", "http://host/b.rar"});
  ASSERT_TRUE(run_.finished);
  EXPECT_EQ(run_.exitCode, 1u);
  ASSERT_EQ(run_.navigations.size(), 2u);
  EXPECT_EQ(run_.navigations[0].decision, "unanswered");
  EXPECT_EQ(run_.navigations[0].url, "gopher://host/a.zip");
  EXPECT_NE(run_.errors.find("no name-space handler for gopher://host/a.zip; not navigated"), std::string::npos)
      << run_.errors;
  EXPECT_EQ(run_.navigations[1].decision, kDeclined) << "the next one goes on";
}

// Taken, and the record reaches the manager.

TEST_F(HostEndToEndWineTest, AnAcceptedLinkIsTakenAndItsRecordDelivered) {
  StandInManager& manager = RunningManager();
  const auto navigation = Browse({"http://downloads.example/files/tool.zip"});
  EXPECT_EQ(navigation.decision, kTaken);
  EXPECT_EQ(navigation.result, "0x00000001");
  const auto log = manager.ReadLog();
  ASSERT_EQ(Kinds(log), (std::vector<std::string>{"START", "CLAIM", "RECORD"}));
  EXPECT_EQ(log[1].number, 0u) << "not claimed";
  EXPECT_EQ(log[1].bytes, "http://downloads.example/files/tool.zip");
  EXPECT_EQ(log[2].number, run_.frame) << "the browser's frame was in front";
  EXPECT_EQ(log[2].bytes, "URL=http://downloads.example/files/tool.zip\nPath=OPEN");
  EXPECT_TRUE(run_.dialogs.empty()) << "the remembered action applied";
}

TEST_F(HostEndToEndWineTest, TheRecordCarriesTheDecodedUrlAndThePageOfTheLink) {
  StandInManager& manager = RunningManager();
  const auto navigation =
      Browse({"--from", "http://downloads.example/list.html", "http://downloads.example/my%20tool.zip"});
  EXPECT_EQ(navigation.decision, kTaken);
  EXPECT_EQ(navigation.url, "http://downloads.example/my%20tool.zip") << "urlmon passes it on escaped";
  const auto records = manager.Entries("RECORD");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].bytes,
            "URL=http://downloads.example/my tool.zip\nReferer=http://downloads.example/list.html\nPath=OPEN");
}

TEST_F(HostEndToEndWineTest, HttpsAndFtpLinksAreTakenAlikeAndSavingSendsAnEmptyPath) {
  Remember("ZIP", kSave);
  StandInManager& manager = RunningManager();
  EXPECT_EQ(Browse({"https://secure.example/pkg.zip"}).decision, kTaken);
  EXPECT_EQ(Browse({"ftp://ftp.example/pub/pkg.zip"}).decision, kTaken);
  const auto records = manager.Entries("RECORD");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].bytes, "URL=https://secure.example/pkg.zip\nPath=");
  EXPECT_EQ(records[1].bytes, "URL=ftp://ftp.example/pub/pkg.zip\nPath=");
}

TEST_F(HostEndToEndWineTest, AConfirmedPromptSendsTheRecord) {
  Forget("ZIP");
  StandInManager& manager = RunningManager();
  const auto navigation = Browse({"http://host/dir/file.zip"}, IDOK);
  EXPECT_EQ(navigation.decision, kTaken);
  ASSERT_EQ(run_.dialogs.size(), 1u);
  EXPECT_EQ(run_.dialogs[0].caption, "File download");
  const auto records = manager.Entries("RECORD");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].bytes, "URL=http://host/dir/file.zip\nPath=OPEN");
}

// Decoded, the escape would end the URL field early and start a Path field
// of the page's choosing: the URL goes to the manager as the link gave it.
TEST_F(HostEndToEndWineTest, AnEscapedLineBreakInALinkStaysEscapedInTheRecord) {
  StandInManager& manager = RunningManager();
  EXPECT_EQ(Browse({"--from", "http://files.example/", "http://files.example/a%0APath=x/file.zip"}).decision,
            kTaken);
  const auto records = manager.Entries("RECORD");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].bytes,
            "URL=http://files.example/a%0APath=x/file.zip\nReferer=http://files.example/\nPath=OPEN");
}

TEST_F(HostEndToEndWineTest, ForcedLinksAreTakenWhateverTheirTypeAndPostsCarryTheirBody) {
  settings_.Main(values::UseCtrlAlt, "TRUE");
  Remember("CGI", kOpen);
  StandInManager& manager = RunningManager();
  EXPECT_EQ(Browse({"--keys", "ctrl+alt", "http://host/get.cgi?id=7"}).decision, kTaken);
  EXPECT_EQ(Browse({"--keys", "ctrl+alt", "--post", "q=1&r=2", "http://host/form.cgi"}).decision, kTaken);
  EXPECT_EQ(run_.navigations[0].verb, "POST");
  const auto records = manager.Entries("RECORD");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].bytes, "URL=http://host/get.cgi?id=7\nPath=OPEN");
  EXPECT_EQ(records[1].bytes, "URL=http://host/form.cgi\nPath=OPEN\nPostData=q=1&r=2");
}

TEST_F(HostEndToEndWineTest, TheManagerIsStartedFromProgramPathAndThenReceivesTheRecord) {
  StandInManager& manager = Manager();
  settings_.Main(values::ProgramPath, manager.ProgramPath());
  const auto navigation = Browse({"http://host/dir/file.zip"});
  EXPECT_EQ(navigation.decision, kTaken);
  const auto log = manager.ReadLog();
  ASSERT_EQ(Kinds(log), (std::vector<std::string>{"START", "RECORD"})) << "nobody to ask before the start";
  EXPECT_EQ(log[0].bytes, " /Invisible");
  EXPECT_EQ(log[1].number, run_.frame);
  EXPECT_EQ(log[1].bytes, "URL=http://host/dir/file.zip\nPath=OPEN");
  HWND window = StandInManager::WaitForWindow(kManagerClass, manager::DefaultTitle, 0);
  ASSERT_NE(window, nullptr) << "it keeps running";
  EXPECT_FALSE(IsWindowVisible(window));
}

// Taken, and nothing sent.

TEST_F(HostEndToEndWineTest, AClaimedUrlIsTakenAtOnceWithoutPromptOrRecord) {
  Forget("ZIP");
  StandInManager& manager = RunningManager({"http://host/dir/file.zip"});
  const auto navigation = Browse({"http://host/dir/file.zip"});
  EXPECT_EQ(navigation.decision, kTaken);
  const auto log = manager.ReadLog();
  ASSERT_EQ(Kinds(log), (std::vector<std::string>{"START", "CLAIM"}));
  EXPECT_EQ(log[1].number, 1u) << "claimed";
  EXPECT_TRUE(run_.dialogs.empty()) << "no prompt";
}

TEST_F(HostEndToEndWineTest, ACancelledPromptIsTakenAndSendsNothing) {
  Forget("ZIP");
  StandInManager& manager = RunningManager();
  const auto navigation = Browse({"http://host/dir/file.zip"}, IDCANCEL);
  EXPECT_EQ(navigation.decision, kTaken) << "the browser does not fetch it either";
  ASSERT_EQ(run_.dialogs.size(), 1u);
  EXPECT_EQ(run_.dialogs[0].caption, "File download");
  EXPECT_EQ(Kinds(manager.ReadLog()), (std::vector<std::string>{"START", "CLAIM"}));
}

// Declined: the browser fetches it itself.

TEST_F(HostEndToEndWineTest, HeldIgnoreKeysLeaveTheLinkToTheBrowser) {
  StandInManager& manager = RunningManager();
  EXPECT_EQ(Browse({"--keys", "shift", "http://host/dir/file.zip"}).decision, kDeclined);
  EXPECT_EQ(Kinds(manager.ReadLog()), std::vector<std::string>{"START"}) << "not even asked";
}

TEST_F(HostEndToEndWineTest, UseCtrlAltLeavesPlainClicksToTheBrowser) {
  settings_.Main(values::UseCtrlAlt, "TRUE");
  StandInManager& manager = RunningManager();
  EXPECT_EQ(Browse({"http://host/dir/file.zip"}).decision, kDeclined);
  EXPECT_EQ(Kinds(manager.ReadLog()), std::vector<std::string>{"START"});
}

TEST_F(HostEndToEndWineTest, LinksWithoutAnAcceptedFileAreLeftToTheBrowser) {
  StandInManager& manager = RunningManager();
  EXPECT_EQ(Browse({"http://host/dir/"}).decision, kDeclined) << "no extension";
  EXPECT_EQ(Browse({"http://host/get.zip?id=1"}).decision, kDeclined) << "a query";
  EXPECT_EQ(Browse({"http://host/dir/file.rar"}).decision, kDeclined) << "not accepted";
  settings_.Main(values::ExcludeFileNames, "setup.exe, ");
  EXPECT_EQ(Browse({"http://host/SETUP.EXE"}).decision, kDeclined) << "excluded";
  DeleteValue(keys::Main, values::AcceptingTypes);
  EXPECT_EQ(Browse({"http://host/dir/file.zip"}).decision, kDeclined) << "nothing accepted";
  EXPECT_EQ(Kinds(manager.ReadLog()), std::vector<std::string>{"START"});
}

TEST_F(HostEndToEndWineTest, APlainFormPostIsLeftToTheBrowser) {
  StandInManager& manager = RunningManager();
  const auto navigation = Browse({"--post", "a=1&b=2", "http://host/dir/file.zip"});
  EXPECT_EQ(navigation.decision, kDeclined);
  EXPECT_EQ(navigation.verb, "POST");
  EXPECT_EQ(Kinds(manager.ReadLog()), (std::vector<std::string>{"START", "CLAIM"})) << "asked, then refused";
}

TEST_F(HostEndToEndWineTest, AnUnreachableManagerLeavesTheLinkToTheBrowser) {
  StandInManager& manager = Manager();
  EXPECT_EQ(Browse({"http://host/dir/file.zip"}).decision, kDeclined);
  EXPECT_TRUE(manager.ReadLog().empty()) << "nothing to start";
  EXPECT_TRUE(run_.dialogs.empty()) << "and nothing to say";
}

TEST_F(HostEndToEndWineTest, AManagerThatCannotStartIsReportedAndTheLinkLeftToTheBrowser) {
  settings_.Main(values::ProgramPath, "C:\\no such folder\\TQP.EXE");
  EXPECT_EQ(Browse({"http://host/dir/file.zip"}).decision, kDeclined);
  ASSERT_EQ(run_.dialogs.size(), 1u);
  EXPECT_EQ(run_.dialogs[0].caption, "Error");
  EXPECT_EQ(run_.dialogs[0].text, "Cannot start Trevalon");
}

}  // namespace
}  // namespace vrpph::wine_tests
