// Win32Keyboard, Win32Clock and Win32Files on Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_keyboard.h"

namespace vrpph::platform {
namespace {

// Puts this thread's key-state table back when a test has changed it.
class SavedKeyboardState {
 public:
  SavedKeyboardState() { saved_ok_ = GetKeyboardState(saved_) != FALSE; }
  SavedKeyboardState(const SavedKeyboardState&) = delete;
  SavedKeyboardState& operator=(const SavedKeyboardState&) = delete;
  ~SavedKeyboardState() {
    if (saved_ok_) SetKeyboardState(saved_);
  }

 private:
  BYTE saved_[256] = {};
  bool saved_ok_ = false;
};

TEST(Win32KeyboardWineTest, ReadsTheThreadsKeyStateTable) {
  SavedKeyboardState restore;
  BYTE state[256] = {};
  state[VK_CONTROL] = 0x80;
  state[VK_MENU] = 0x80;
  ASSERT_TRUE(SetKeyboardState(state));

  KeyStateTable table;
  table.fill(0x55);
  Win32Keyboard().GetKeyState(table);
  EXPECT_EQ(table[VK_CONTROL] & 0x80, 0x80);
  EXPECT_EQ(table[VK_MENU] & 0x80, 0x80);
  EXPECT_EQ(table[VK_SHIFT] & 0x80, 0);
  EXPECT_EQ(table['A'], 0);
}

TEST(Win32ClockWineTest, SleepWaitsAtLeastRoughlyTheTimeAsked) {
  const ULONGLONG before = GetTickCount64();
  Win32Clock().Sleep(120);
  const ULONGLONG elapsed = GetTickCount64() - before;
  // The tick count moves in steps of up to ~16 ms.
  EXPECT_GE(elapsed, 100u);
  EXPECT_LT(elapsed, 5000u);
}

TEST(Win32FilesWineTest, FilesAndDirectoriesExistMissingPathsDoNot) {
  char exe[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, exe, MAX_PATH), 0u);
  char windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);

  Win32Files files;
  EXPECT_TRUE(files.Exists(exe));
  EXPECT_TRUE(files.Exists(windows));
  EXPECT_FALSE(files.Exists(std::string(exe) + ".TQ"));
  EXPECT_FALSE(files.Exists(std::string(windows) + "\\no such folder\\file.zip"));
  EXPECT_FALSE(files.Exists(""));
}

}  // namespace
}  // namespace vrpph::platform
