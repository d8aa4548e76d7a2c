// Plays the user of the real download prompt from a watcher thread: finds
// the prompt (a dialog of this process with the speed trackbar), records
// what it shows, acts on it, and presses Cancel if it is still open at the
// end, so that no test can hang on it.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>

namespace vrpph::wine_tests {

// What the prompt showed when it was found.
struct ShownPrompt {
  std::string caption;
  std::map<int, std::string> texts;
  std::map<int, int> checks;  // BM_GETCHECK of 1002, 1003 and 212
  int trackbarPosition = -1;
  int trackbarMin = -1;
  int trackbarMax = -1;
  int focus = 0;  // the control id with the keyboard focus
  // The face name and height of the font of control 210, and of the trackbar.
  std::string headingFace;
  LONG headingHeight = 0;
  HFONT headingFont = nullptr;
  HFONT trackbarFont = nullptr;
  RECT window = {};
};

class PromptDriver {
 public:
  using Act = std::function<void(HWND prompt)>;

  // Watches for a prompt on thread `threadId` (any thread of this process
  // when 0) until destroyed; `act` runs once on the first one found.
  explicit PromptDriver(Act act, DWORD threadId = 0);
  PromptDriver(const PromptDriver&) = delete;
  PromptDriver& operator=(const PromptDriver&) = delete;
  // Stops looking, then waits for the act (and the safety Cancel) to end.
  ~PromptDriver();

  // Valid after the call that showed the prompt has returned.
  [[nodiscard]] bool found() const { return found_; }
  [[nodiscard]] const ShownPrompt& shown() const { return shown_; }

  // A prompt of this process on `threadId` (any when 0), or null.
  static HWND FindPrompt(DWORD threadId = 0);
  static int CountPrompts();

 private:
  void Watch();

  Act act_;
  DWORD threadId_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> found_{false};
  ShownPrompt shown_;
  std::thread thread_;
};

// The user's gestures, sent across threads to the prompt.
std::string ItemText(HWND prompt, int control);
// BM_CLICK: the button's own click handling (auto radio, auto check box).
void Click(HWND prompt, int control);
// The command a button press sends to its dialog.
void Press(HWND prompt, int control);
// Waits up to `timeoutMs` for `window` to be gone.
bool WaitUntilClosed(HWND window, DWORD timeoutMs);

}  // namespace vrpph::wine_tests
