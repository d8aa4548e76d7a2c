// The real download prompt from the built vrpph.dll under Wine, answered
// by a watcher thread that reads the dialog and presses its buttons.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "prompt/dialog_font.h"
#include "prompt/download_prompt.h"
#include "prompt/hosted_prompt_dialog.h"
#include "prompt/win32/kernel_procs.h"
#include "prompt/win32/win32_dialog_host.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "support/registry_tools.h"
#include "url/url_names.h"
#include "wine/support/prompt_driver.h"
#include "wine/support/standin_manager.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using platform::root::CurrentUser;
using ShowOpenDialog = BOOL(WINAPI*)(HWND, LPCSTR, LPCSTR);
using ShowAboutDialog = BOOL(WINAPI*)();

constexpr const char* kUrl = "http://downloads.example.com/files/setup.zip";

FARPROC FindNothing(const char*) { return nullptr; }

class PromptDialogWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(dll.get(), nullptr) << "cannot load " << VrpphDllPath();
    showOpenDialog = dll.Export<ShowOpenDialog>("DllShowOpenDialog");
    ASSERT_NE(showOpenDialog, nullptr);
    testing::DeleteTree(registry, CurrentUser, "Software\\Quorvane");
    testing::SetString(registry, CurrentUser, keys::Main, "Seed", "1");
  }
  void TearDown() override { testing::DeleteTree(registry, CurrentUser, "Software\\Quorvane"); }

  std::optional<std::string> Stored(const char* name) {
    return SettingsKey::Main(registry).Text(name);
  }
  std::optional<testing::StoredValue> Remembered(const char* extension) {
    return testing::GetValue(registry, CurrentUser, keys::DefAction, extension);
  }
  void SetText(const char* id, const std::string& text) {
    testing::SetString(registry, CurrentUser, keys::PromptStrings, id, text);
  }
  // The prompt as the module runs it, but with this test's own mode and,
  // if given, its own lookup of kernel32's functions.
  PromptOutcome Prompt(std::atomic<OpenMode>& openMode, Win32ActivationContextApi::ProcLookup lookup = LoadKernelProc) {
    Win32DialogHost host(dll.get(), platform, lookup);
    HostedPromptDialog dialog(platform, host);
    return ShowDownloadPrompt(registry, dialog, openMode, 0, kUrl, std::nullopt, UrlExtension(kUrl));
  }

  LoadedDll dll;
  ShowOpenDialog showOpenDialog = nullptr;
  platform::Win32Platform win32;
  platform::Win32Registry& registry = win32.registry;
  platform::Platform& platform = win32.platform;
};

TEST_F(PromptDialogWineTest, WithoutStringsTheTemplateShowsAndCancelReturnsZero) {
  PromptDriver driver([](HWND prompt) { Press(prompt, IDCANCEL); });
  EXPECT_EQ(showOpenDialog(nullptr, kUrl, nullptr), FALSE);
  ASSERT_TRUE(driver.found());
  const ShownPrompt& shown = driver.shown();
  EXPECT_EQ(shown.caption, "File download");
  EXPECT_EQ(shown.texts.at(210), "You have chosen to download a file from this location:");
  EXPECT_EQ(shown.texts.at(1002), "Run this program from its current location");
  EXPECT_EQ(shown.texts.at(212), "Al&ways ask before opening this type of file");
  EXPECT_EQ(shown.texts.at(202), "setup.zip  downloads.example.com");
  EXPECT_EQ(shown.texts.at(201), "") << "the speed label";
  EXPECT_EQ(shown.trackbarMin, 0);
  EXPECT_EQ(shown.trackbarMax, 3);
  EXPECT_EQ(shown.trackbarPosition, 0);
  EXPECT_EQ(shown.checks.at(1002), BST_CHECKED);
  EXPECT_EQ(shown.checks.at(1003), BST_UNCHECKED);
  EXPECT_EQ(shown.checks.at(212), BST_CHECKED);
  EXPECT_EQ(shown.focus, 1002);
  EXPECT_NE(shown.headingFont, shown.trackbarFont) << "the trackbar keeps the template's font";
  // Centred on the primary screen.
  const int width = shown.window.right - shown.window.left;
  const int height = shown.window.bottom - shown.window.top;
  EXPECT_EQ(shown.window.left, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2);
  EXPECT_EQ(shown.window.top, GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2);

  EXPECT_FALSE(Stored(values::OpenMode));
  EXPECT_FALSE(Stored(values::SpeedMode));
  EXPECT_FALSE(testing::KeyExists(registry, CurrentUser, keys::DefAction));
}

TEST_F(PromptDialogWineTest, SaveWithAlwaysAskClearedIsRememberedAndSkipsTheNextDialog) {
  for (const char* id : {"137", "138", "140", "141", "142", "143", "45", "46", "11", "144", "237"}) {
    SetText(id, std::string("text ") + id);
  }
  SetText("139", "from");
  SetText("25", "Fast");
  SetText(values::FontName, "Tahoma");
  testing::SetDword(registry, CurrentUser, keys::PromptStrings, values::FontSize, 8);
  testing::SetString(registry, CurrentUser, keys::Main, values::SpeedMode, "2");
  testing::SetString(registry, CurrentUser, keys::Main, values::OpenMode, "open");

  bool unchecked = false;
  PromptDriver driver([&unchecked](HWND prompt) {
    Click(prompt, 1003);
    Click(prompt, 212);
    unchecked = SendDlgItemMessageA(prompt, 212, BM_GETCHECK, 0, 0) == BST_UNCHECKED;
    Press(prompt, IDOK);
  });
  const std::string suggested = "Setup-Installer-For-Everything-And-More-Long-Name-2024.zip";
  EXPECT_EQ(showOpenDialog(nullptr, kUrl, suggested.c_str()), TRUE);
  ASSERT_TRUE(driver.found());
  EXPECT_TRUE(unchecked) << "the click reached the check box";
  const ShownPrompt& shown = driver.shown();
  EXPECT_EQ(shown.caption, "text 137");
  EXPECT_EQ(shown.texts.at(1), "text 45");
  EXPECT_EQ(shown.texts.at(1007), "text 144");
  EXPECT_EQ(shown.texts.at(202), suggested.substr(0, 39) + " from downloads.example.com");
  EXPECT_EQ(shown.trackbarPosition, 2);
  EXPECT_EQ(shown.texts.at(201), "Fast");
  EXPECT_EQ(shown.checks.at(1003), BST_CHECKED) << "lower-case open preselects save";
  EXPECT_EQ(shown.focus, 1003);
  EXPECT_EQ(shown.headingFace, "Tahoma");
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(shown.headingHeight, DialogFontHeight(8, GetDeviceCaps(screen, LOGPIXELSY)));
  ReleaseDC(nullptr, screen);

  EXPECT_EQ(Stored(values::OpenMode), "SAVE");
  EXPECT_EQ(Stored(values::SpeedMode), "2");
  const auto remembered = Remembered("zip");
  ASSERT_TRUE(remembered);
  EXPECT_EQ(remembered->type, static_cast<std::uint32_t>(REG_DWORD));
  EXPECT_EQ(remembered->bytes, (std::vector<std::uint8_t>{1, 0, 0, 0}));

  // The remembered action answers without a dialog.
  PromptDriver none([](HWND prompt) { Press(prompt, IDCANCEL); });
  EXPECT_EQ(showOpenDialog(nullptr, "http://elsewhere.example.org/other.ZIP", nullptr), TRUE);
  EXPECT_FALSE(none.found());
}

TEST_F(PromptDialogWineTest, OkWithTheRunChoiceReturnsOpenAndRemembersNothing) {
  std::atomic<OpenMode> openMode{OpenMode::Save};
  PromptDriver driver([](HWND prompt) { Press(prompt, IDOK); });
  const PromptOutcome outcome = Prompt(openMode);
  ASSERT_TRUE(driver.found());
  EXPECT_EQ(outcome.result, prompt_result::Proceed);
  EXPECT_EQ(outcome.openMode, OpenMode::Open);
  EXPECT_EQ(openMode.load(), OpenMode::Open);
  EXPECT_EQ(Stored(values::OpenMode), "OPEN");
  EXPECT_EQ(Stored(values::SpeedMode), "0");
  EXPECT_FALSE(testing::KeyExists(registry, CurrentUser, keys::DefAction));
}

TEST_F(PromptDialogWineTest, TheSpeedLabelFollowsTheTrackbar) {
  for (const char* id : {"23", "24", "25", "26"}) SetText(id, std::string("speed ") + id);
  std::string label;
  PromptDriver driver([&label](HWND prompt) {
    HWND trackbar = GetDlgItem(prompt, 1001);
    // Two presses of the right arrow key on the focused trackbar.
    SendMessageA(trackbar, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(trackbar, WM_KEYDOWN, VK_RIGHT, 0);
    for (int i = 0; i < 50 && label != "speed 25"; ++i) {
      Sleep(20);
      label = ItemText(prompt, 201);
    }
    Press(prompt, IDOK);
  });
  std::atomic<OpenMode> openMode{OpenMode::Open};
  EXPECT_EQ(Prompt(openMode).result, prompt_result::Proceed);
  ASSERT_TRUE(driver.found());
  EXPECT_EQ(driver.shown().texts.at(201), "speed 23");
  EXPECT_EQ(label, "speed 25");
  EXPECT_EQ(Stored(values::SpeedMode), "2");
}

TEST_F(PromptDialogWineTest, WithoutActivationContextFunctionsTheDialogStillShows) {
  std::atomic<OpenMode> openMode{OpenMode::Save};
  PromptDriver driver([](HWND prompt) { Press(prompt, IDCANCEL); });
  const PromptOutcome outcome = Prompt(openMode, FindNothing);
  EXPECT_TRUE(driver.found());
  EXPECT_EQ(outcome.result, prompt_result::Cancelled);
  EXPECT_EQ(outcome.openMode, OpenMode::Save) << "the mode held before";
  EXPECT_EQ(openMode.load(), OpenMode::Save);
}

TEST_F(PromptDialogWineTest, TwoPromptsOnTwoThreadsKeepTheirOwnChoices) {
  std::atomic<OpenMode> openMode{OpenMode::Open};
  PromptOutcome first;
  PromptOutcome second;
  std::atomic<DWORD> firstThread{0};
  std::atomic<DWORD> secondThread{0};
  std::thread one([&] {
    firstThread = GetCurrentThreadId();
    first = Prompt(openMode);
  });
  std::thread two([&] {
    secondThread = GetCurrentThreadId();
    second = Prompt(openMode);
  });
  while (firstThread == 0 || secondThread == 0) Sleep(5);
  {
    // The first chooses save while the second is still up; the second is
    // cancelled only after the first has gone.
    PromptDriver saveFirst(
        [](HWND prompt) {
          for (int i = 0; i < 500 && PromptDriver::CountPrompts() < 2; ++i) Sleep(20);
          Click(prompt, 1003);
          Press(prompt, IDOK);
        },
        firstThread);
    PromptDriver cancelSecond(
        [&firstThread](HWND prompt) {
          for (int i = 0; i < 500 && PromptDriver::FindPrompt(firstThread); ++i) Sleep(20);
          Press(prompt, IDCANCEL);
        },
        secondThread);
    one.join();
    two.join();
    EXPECT_TRUE(saveFirst.found());
    EXPECT_TRUE(cancelSecond.found());
  }
  EXPECT_EQ(first.result, prompt_result::Proceed);
  EXPECT_EQ(first.openMode, OpenMode::Save);
  EXPECT_EQ(second.result, prompt_result::Cancelled);
  EXPECT_EQ(openMode.load(), OpenMode::Save) << "published by the first prompt's OK";
}

TEST_F(PromptDialogWineTest, AdvancedBlocksTheButtonsWhileTheOptionsWindowIsOpen) {
  StandInManager manager;
  testing::SetString(registry, CurrentUser, keys::Main, values::ProgramPath, manager.ProgramPath());
  bool optionsOpened = false;
  bool blocked = false;
  bool raised = false;
  PromptDriver driver([&](HWND prompt) {
    Click(prompt, 203);
    HWND options = StandInManager::WaitForWindow(kManagerClass, manager::DefaultOptionsTitle, 20000);
    optionsOpened = options != nullptr;
    if (!options) return;
    Press(prompt, IDOK);
    Press(prompt, IDCANCEL);
    Sleep(300);
    blocked = IsWindowVisible(prompt) != FALSE;
    // An activation while the options window is up leads back to it.
    SendMessageA(prompt, WM_ACTIVATE, WA_ACTIVE, 0);
    for (int i = 0; i < 50 && !raised; ++i) {
      Sleep(20);
      raised = GetForegroundWindow() == options;
    }
    PostMessageA(options, WM_CLOSE, 0, 0);
    for (int i = 0; i < 250 && IsWindow(options); ++i) Sleep(20);
    SendMessageA(prompt, WM_ACTIVATE, WA_ACTIVE, 0);
    Press(prompt, IDOK);
  });
  std::atomic<OpenMode> openMode{OpenMode::Save};
  const PromptOutcome outcome = Prompt(openMode);
  manager.StopAll();
  ASSERT_TRUE(driver.found());
  EXPECT_TRUE(optionsOpened);
  EXPECT_TRUE(blocked) << "OK and Cancel did nothing while the options window was open";
  EXPECT_TRUE(raised);
  EXPECT_EQ(outcome.result, prompt_result::Proceed) << "OK works again once it has closed";
  EXPECT_EQ(outcome.openMode, OpenMode::Open);
}

TEST_F(PromptDialogWineTest, AboutInTheDialogAndTheExportStartTheProgramWithAbout) {
  auto showAbout = dll.Export<ShowAboutDialog>("DllShowAboutDialog");
  ASSERT_NE(showAbout, nullptr);
  StandInManager manager;
  EXPECT_EQ(showAbout(), TRUE) << "also when no program is found";
  testing::SetString(registry, CurrentUser, keys::Main, values::ProgramPath, manager.ProgramPath());
  EXPECT_EQ(showAbout(), TRUE);
  EXPECT_EQ(manager.WaitForEntries("ABOUT", 1, 20000).size(), 1u);

  bool stayedOpen = false;
  PromptDriver driver([&](HWND prompt) {
    Click(prompt, 1007);
    stayedOpen = manager.WaitForEntries("ABOUT", 2, 20000).size() == 2 && IsWindowVisible(prompt);
    Press(prompt, IDCANCEL);
  });
  EXPECT_EQ(showOpenDialog(nullptr, kUrl, nullptr), FALSE);
  manager.StopAll();
  ASSERT_TRUE(driver.found());
  EXPECT_TRUE(stayedOpen) << "About starts the program and leaves the dialog up";
  const auto starts = manager.Entries("START");
  ASSERT_EQ(starts.size(), 2u);
  for (const auto& start : starts) EXPECT_EQ(start.bytes.find("/About"), start.bytes.size() - 6) << start.bytes;
}

TEST_F(PromptDialogWineTest, ShowOpenDialogWithoutAUrlShowsNothing) {
  PromptDriver none([](HWND prompt) { Press(prompt, IDCANCEL); });
  EXPECT_EQ(showOpenDialog(nullptr, nullptr, "setup.zip"), FALSE);
  EXPECT_FALSE(none.found());
}

}  // namespace
}  // namespace vrpph::wine_tests

namespace vrpph::wine_tests {
namespace {

// The prompt finds its module through its own handle: a copy of the DLL
// under another file name still applies a remembered action.
TEST(RenamedModuleWineTest, ARenamedCopyStillFindsItsOwnPrompt) {
  const std::string copy = VrpphDllPath().substr(0, VrpphDllPath().size() - 9) + "renamed-plugin.dll";
  ASSERT_TRUE(CopyFileA(VrpphDllPath().c_str(), copy.c_str(), FALSE));
  platform::Win32Registry registry;
  testing::DeleteTree(registry, CurrentUser, "Software\\Quorvane");
  testing::SetDword(registry, CurrentUser, keys::DefAction, "zip", 1);
  {
    platform::UniqueModule module(LoadLibraryA(copy.c_str()));
    ASSERT_TRUE(module);
    auto show = platform::GetProc<ShowOpenDialog>(module.get(), "DllShowOpenDialog");
    ASSERT_NE(show, nullptr);
    EXPECT_EQ(show(nullptr, kUrl, nullptr), TRUE);
  }
  testing::DeleteTree(registry, CurrentUser, "Software\\Quorvane");
  DeleteFileA(copy.c_str());
}

}  // namespace
}  // namespace vrpph::wine_tests
