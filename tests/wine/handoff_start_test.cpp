// An accepted link leaves the DLL's Start as a transfer record that reaches
// the stand-in manager, whether it runs already or has to be started.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_registry.h"
#include "settings/contact_points.h"
#include "support/registry_tools.h"
#include "wine/support/modal_watcher.h"
#include "wine/support/prompt_driver.h"
#include "wine/support/protocol_start.h"
#include "wine/support/standin_manager.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using platform::root::CurrentUser;
constexpr DWORD kWait = 15000;
constexpr HRESULT kUseDefaultHandler = static_cast<HRESULT>(0x800C0011);

class HandoffStartWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    testing::DeleteTree(registry, CurrentUser, "Software\\Quorvane");
    ASSERT_EQ(FindWindowA(kManagerClass, nullptr), nullptr) << "a manager left over from an earlier test";
    ASSERT_NE(dll.get(), nullptr);
    // A zip link is a download, and opening it is the remembered choice:
    // no dialog is needed.
    testing::SetString(registry, CurrentUser, keys::Main, values::AcceptingTypes, "ZIP, EXE, ");
    testing::SetDword(registry, CurrentUser, keys::DefAction, "zip", 0);
  }
  void TearDown() override {
    manager.StopAll();
    testing::DeleteTree(registry, CurrentUser, "Software\\Quorvane");
    CoUninitialize();
  }
  void ExpectRecord(const std::string& bytes) {
    auto records = manager.WaitForEntries("RECORD", 1, kWait);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].bytes, bytes);
    EXPECT_EQ(records[0].number, reinterpret_cast<std::uintptr_t>(owner));
  }

  platform::Win32Registry registry;
  LoadedDll dll;
  StandInManager manager{{"http://host/claimed.zip"}};
  HWND owner = GetForegroundWindow();
};

TEST_F(HandoffStartWineTest, ARunningManagerReceivesTheAcceptedLink) {
  ASSERT_TRUE(manager.Launch(" /Invisible"));
  ASSERT_NE(StandInManager::WaitForWindow(kManagerClass, manager::DefaultTitle, kWait), nullptr);
  ModalWatcher watcher;
  StrictSink sink(StrictSink::NoCalls());
  EXPECT_EQ(StartNavigation(dll, L"http://host/dir/file%20one.zip", sink), S_FALSE);
  ExpectRecord("URL=http://host/dir/file one.zip\nPath=OPEN");
  EXPECT_TRUE(watcher.answered().empty());

  EXPECT_EQ(StartNavigation(dll, L"http://host/claimed.zip", sink), S_FALSE) << "claimed: taken, nothing sent";
  EXPECT_EQ(StartNavigation(dll, L"http://host/page.html", sink), kUseDefaultHandler);
  Sleep(300);
  EXPECT_EQ(manager.Entries("RECORD").size(), 1u);
}

// Escaped letters reach the manager still escaped, so it fetches the same
// resource; the name they spell travels as FileName and is what the prompt
// shows. The bytes are code page 1252's, the one tools/wine-env pins through
// the locale (LC_ALL).
TEST_F(HandoffStartWineTest, AUrlWithLettersPastAsciiKeepsItsResourceAndShowsItsName) {
  ASSERT_EQ(GetACP(), 1252u) << "the locale does not pin code page 1252";
  ASSERT_TRUE(manager.Launch(" /Invisible"));
  ASSERT_NE(StandInManager::WaitForWindow(kManagerClass, manager::DefaultTitle, kWait), nullptr);
  struct Case {
    const wchar_t* url;
    const char* record;
  };
  const Case cases[] = {
      {L"http://host/files/%C3%9Cbersicht.zip",
       "URL=http://host/files/%C3%9Cbersicht.zip\nPath=OPEN\nFileName=\xDC" "bersicht.zip"},
      {L"http://host/%dcber%20sicht.zip", "URL=http://host/%dcber sicht.zip\nPath=OPEN\nFileName=\xDC" "ber sicht.zip"},
      {L"http://host/\x4E2D%2F.zip", "URL=http://host/%E4%B8%AD%2F.zip\nPath=OPEN"},
      {L"http://host/\x00DC.zip", "URL=http://host/\xDC.zip\nPath=OPEN"},
  };
  StrictSink sink(StrictSink::NoCalls());
  std::size_t sent = 0;
  {
    ModalWatcher watcher;
    for (const Case& c : cases) {
      EXPECT_EQ(StartNavigation(dll, c.url, sink), S_FALSE) << c.record;
      const auto records = manager.WaitForEntries("RECORD", ++sent, kWait);
      ASSERT_EQ(records.size(), sent);
      EXPECT_EQ(records.back().bytes, c.record);
    }
    EXPECT_TRUE(watcher.answered().empty()) << "opening a zip is remembered: no prompt";
  }

  // No remembered choice for an exe: the prompt names the file as it reads.
  PromptDriver driver([](HWND prompt) { Press(prompt, IDOK); });
  EXPECT_EQ(StartNavigation(dll, L"http://host/%C3%A9t%C3%A9.exe", sink), S_FALSE);
  ASSERT_TRUE(driver.found());
  EXPECT_EQ(driver.shown().texts.at(202), "\xE9t\xE9.exe  host");
  const auto records = manager.WaitForEntries("RECORD", sent + 1, kWait);
  ASSERT_EQ(records.size(), sent + 1);
  EXPECT_EQ(records.back().bytes, "URL=http://host/%C3%A9t%C3%A9.exe\nPath=OPEN\nFileName=\xE9t\xE9.exe");
}

TEST_F(HandoffStartWineTest, TheManagerIsStartedByItsQuotedPathWhenNotRunning) {
  testing::SetString(registry, CurrentUser, keys::Main, values::ProgramPath, manager.ProgramPath());
  testing::SetDword(registry, CurrentUser, keys::DefAction, "exe", 1);
  ModalWatcher watcher;
  StrictSink sink(StrictSink::NoCalls());
  EXPECT_EQ(StartNavigation(dll, L"http://host/setup.exe", sink), S_FALSE);
  ExpectRecord("URL=http://host/setup.exe\nPath=");
  auto starts = manager.Entries("START");
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].bytes, " /Invisible");
  HWND window = FindWindowA(kManagerClass, manager::DefaultTitle);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window)) << "started invisible";
  EXPECT_TRUE(watcher.answered().empty());
}

TEST_F(HandoffStartWineTest, NothingInstalledDeclinesWithoutAMessage) {
  ModalWatcher watcher;
  StrictSink sink(StrictSink::NoCalls());
  const ULONGLONG before = GetTickCount64();
  EXPECT_EQ(StartNavigation(dll, L"http://host/file.zip", sink), kUseDefaultHandler);
  EXPECT_LT(GetTickCount64() - before, 3000u) << "no start, no polling";
  EXPECT_TRUE(watcher.answered().empty());
  EXPECT_TRUE(manager.ReadLog().empty());
}

}  // namespace
}  // namespace vrpph::wine_tests
