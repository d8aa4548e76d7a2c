// Answers the message boxes a process raises while the watcher lives, so
// that a test never hangs on a modal window: a thread looks for dialog
// windows of that process (this one unless told) and presses a button in
// each.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vrpph::wine_tests {

class ModalWatcher {
 public:
  struct Answered {
    std::string caption;
    std::string text;
  };

  // Presses `button` (IDOK, IDYES, IDNO...) in every box that shows up in
  // the process `processId` (0: this process).
  explicit ModalWatcher(int button = IDOK, DWORD processId = 0);
  ModalWatcher(const ModalWatcher&) = delete;
  ModalWatcher& operator=(const ModalWatcher&) = delete;
  ~ModalWatcher();

  [[nodiscard]] std::vector<Answered> answered() const;

 private:
  static BOOL CALLBACK VisitWindow(HWND window, LPARAM self);
  void Watch();
  void Answer(HWND box);

  int button_;
  DWORD processId_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<Answered> answered_;
  std::vector<HWND> pressed_;
  std::thread thread_;
};

}  // namespace vrpph::wine_tests
