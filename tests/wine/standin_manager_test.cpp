// The stand-in download manager honours the contact points, started the
// ways the module starts it (Win32Programs and the program commands).
#include <windows.h>

#include <gtest/gtest.h>

#include "handoff/program_commands.h"
#include "platform/win32/win32_programs.h"
#include "platform/win32/win32_registry.h"
#include "settings/contact_points.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"
#include "wine/support/standin_manager.h"

namespace vrpph::wine_tests {
namespace {

using platform::root::CurrentUser;
constexpr DWORD kWait = 15000;

class StandInManagerWineTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::DeleteTree(registry, CurrentUser, "Software\\Quorvane"); }
  void TearDown() override {
    manager.StopAll();
    testing::DeleteTree(registry, CurrentUser, "Software\\Quorvane");
  }
  void SetProgramPath() {
    testing::SetString(registry, CurrentUser, keys::Main, values::ProgramPath, manager.ProgramPath());
  }
  // Real registry and program starts; the rest of the world is not used by
  // the program commands.
  platform::Platform Platform() {
    return platform::Platform{registry, fakes.text, fakes.keyboard, fakes.desktop, programs, fakes.clock, fakes.files};
  }
  static HWND MainWindow(DWORD timeoutMs = kWait) {
    return StandInManager::WaitForWindow(kManagerClass, manager::DefaultTitle, timeoutMs);
  }

  platform::Win32Registry registry;
  platform::Win32Programs programs;
  testing::FakePlatform fakes;
  StandInManager manager{{"http://host/claimed.zip"}};
};

TEST_F(StandInManagerWineTest, AnswersClaimQueriesAndLogsRecordsByteExact) {
  ASSERT_TRUE(manager.Launch(" /Invisible"));
  HWND window = MainWindow();
  ASSERT_NE(window, nullptr);

  auto send = [&](ULONG_PTR dwData, const std::string& bytes) {
    COPYDATASTRUCT data{dwData, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
    DWORD_PTR reply = 99;
    EXPECT_NE(SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000,
                                  &reply),
              0);
    return reply;
  };
  EXPECT_EQ(send(1, "http://host/claimed.zip"), 1u);
  EXPECT_EQ(send(1, "http://host/claimed.zip2"), 0u) << "only the exact bytes";
  const std::string record = std::string("URL=ftp://server/a.zip\nReferer=\nPath=OPEN\0x", 43);
  send(0x1234, record.substr(0, 41));

  auto records = manager.WaitForEntries("RECORD", 1, kWait);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].number, 0x1234u);
  EXPECT_EQ(records[0].bytes, "URL=ftp://server/a.zip\nReferer=\nPath=OPEN");
  auto claims = manager.Entries("CLAIM");
  ASSERT_EQ(claims.size(), 2u);
  EXPECT_EQ(claims[0].number, 1u);
  EXPECT_EQ(claims[1].number, 0u);
}

TEST_F(StandInManagerWineTest, AboutAndOptionsShowTheirWindowsThroughTheShell) {
  testing::SetString(registry, CurrentUser, keys::Strings, "42", "Optionen");
  SetProgramPath();
  platform::Platform world = Platform();
  ShowProgramAbout(world, 0);
  EXPECT_NE(StandInManager::WaitForWindow("TrevalonStandInAbout", nullptr, kWait), nullptr);
  ASSERT_NE(MainWindow(), nullptr);

  EXPECT_TRUE(ShowProgramOptions(world)) << "a second start hands its switch to the running one";
  HWND options = StandInManager::WaitForWindow(kManagerClass, "Optionen", kWait);
  ASSERT_NE(options, nullptr);
  // The window can be found while it is still being created, before it shows.
  const ULONGLONG shownBy = GetTickCount64() + kWait;
  while (!IsWindowVisible(options) && GetTickCount64() < shownBy) Sleep(20);
  EXPECT_TRUE(IsWindowVisible(options));
  SendMessageA(options, WM_CLOSE, 0, 0);
  EXPECT_EQ(FindWindowA(kManagerClass, "Optionen"), nullptr) << "closing the options keeps the manager";
  EXPECT_NE(MainWindow(0), nullptr);

  auto starts = manager.WaitForEntries("START", 2, kWait);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_NE(starts[0].bytes.find("/About"), std::string::npos);
  EXPECT_NE(starts[1].bytes.find(" /Options"), std::string::npos);
  EXPECT_EQ(manager.Entries("ABOUT").size(), 1u);
  EXPECT_EQ(manager.Entries("OPTIONS").size(), 1u);
}

TEST_F(StandInManagerWineTest, TheUninstallerGetsAQuotedPathAndItsSwitch) {
  SetProgramPath();
  platform::Platform world = Platform();
  RunProgramUninstaller(world);
  auto uninstalls = manager.WaitForEntries("UNINSTALL", 1, kWait);
  ASSERT_EQ(uninstalls.size(), 1u) << "a path with blanks still names the program";
  EXPECT_EQ(uninstalls[0].bytes, " /UnInstall");
  EXPECT_EQ(MainWindow(500), nullptr) << "the uninstaller opens no window";
}

}  // namespace
}  // namespace vrpph::wine_tests
