// A window of the download manager's class on a thread of the test, which
// answers the WM_COPYDATA messages it receives and keeps what they carried.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/handles.h"

namespace vrpph::wine_tests {

class TestManagerWindow {
 public:
  struct Received {
    std::uintptr_t dwData;
    std::string bytes;
  };

  // `reply` answers every WM_COPYDATA.
  TestManagerWindow(const char* title, LRESULT reply);
  TestManagerWindow(const TestManagerWindow&) = delete;
  TestManagerWindow& operator=(const TestManagerWindow&) = delete;
  ~TestManagerWindow();

  [[nodiscard]] HWND window() const { return window_; }
  [[nodiscard]] std::vector<Received> received() const;
  // From now on the window's thread stops answering messages.
  void Hang();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Run(const std::string& title);

  LRESULT reply_;
  platform::UniqueHandle ready_;
  platform::UniqueHandle release_;
  HWND window_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<Received> received_;
  std::thread thread_;
};

}  // namespace vrpph::wine_tests
