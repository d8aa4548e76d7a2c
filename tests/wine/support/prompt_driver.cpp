#include "wine/support/prompt_driver.h"

#include <commctrl.h>

namespace vrpph::wine_tests {
namespace {

constexpr DWORD kFindTimeoutMs = 30000;
constexpr DWORD kCloseTimeoutMs = 5000;
constexpr int kSpeedTrackbar = 1001;

struct Search {
  DWORD threadId;
  HWND found = nullptr;
  int count = 0;
};

bool IsPrompt(HWND window, DWORD threadId) {
  char windowClass[16] = {};
  GetClassNameA(window, windowClass, sizeof windowClass);
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || lstrcmpA(windowClass, "#32770") != 0 || !IsWindowVisible(window)) {
    return false;
  }
  if (threadId != 0 && thread != threadId) return false;
  char trackbarClass[32] = {};
  HWND trackbar = GetDlgItem(window, kSpeedTrackbar);
  return trackbar && GetClassNameA(trackbar, trackbarClass, sizeof trackbarClass) > 0;
}

BOOL CALLBACK Visit(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  if (IsPrompt(window, search->threadId)) {
    ++search->count;
    if (!search->found) search->found = window;
  }
  return TRUE;
}

int CheckOf(HWND prompt, int control) {
  return static_cast<int>(SendDlgItemMessageA(prompt, control, BM_GETCHECK, 0, 0));
}

ShownPrompt Record(HWND prompt) {
  ShownPrompt shown;
  char text[4200] = {};
  GetWindowTextA(prompt, text, sizeof text);
  shown.caption = text;
  for (int control : {1, 2, 203, 1007, 1002, 1003, 212, 210, 202, 211, 1021, 201}) {
    shown.texts[control] = ItemText(prompt, control);
  }
  for (int control : {1002, 1003, 212}) shown.checks[control] = CheckOf(prompt, control);
  shown.trackbarPosition = static_cast<int>(SendDlgItemMessageA(prompt, kSpeedTrackbar, TBM_GETPOS, 0, 0));
  shown.trackbarMin = static_cast<int>(SendDlgItemMessageA(prompt, kSpeedTrackbar, TBM_GETRANGEMIN, 0, 0));
  shown.trackbarMax = static_cast<int>(SendDlgItemMessageA(prompt, kSpeedTrackbar, TBM_GETRANGEMAX, 0, 0));
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(prompt, nullptr), &gui) && gui.hwndFocus) {
    shown.focus = GetDlgCtrlID(gui.hwndFocus);
  }
  shown.headingFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(prompt, 210, WM_GETFONT, 0, 0));
  shown.trackbarFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(prompt, kSpeedTrackbar, WM_GETFONT, 0, 0));
  LOGFONTA font = {};
  if (shown.headingFont && GetObjectA(shown.headingFont, sizeof font, &font)) {
    shown.headingFace = font.lfFaceName;
    shown.headingHeight = font.lfHeight;
  }
  GetWindowRect(prompt, &shown.window);
  return shown;
}

}  // namespace

PromptDriver::PromptDriver(Act act, DWORD threadId)
    : act_(std::move(act)), threadId_(threadId), thread_([this] { Watch(); }) {}

PromptDriver::~PromptDriver() {
  stop_ = true;
  thread_.join();
}

HWND PromptDriver::FindPrompt(DWORD threadId) {
  Search search{threadId};
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int PromptDriver::CountPrompts() {
  Search search{0};
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  return search.count;
}

void PromptDriver::Watch() {
  const DWORD start = GetTickCount();
  HWND prompt = nullptr;
  while (!stop_ && !prompt && GetTickCount() - start < kFindTimeoutMs) {
    prompt = FindPrompt(threadId_);
    if (!prompt) Sleep(20);
  }
  if (!prompt) return;
  // Let the dialog finish its initialisation before reading it.
  Sleep(100);
  shown_ = Record(prompt);
  found_ = true;
  if (act_) act_(prompt);
  if (!WaitUntilClosed(prompt, kCloseTimeoutMs)) {
    Press(prompt, IDCANCEL);
    WaitUntilClosed(prompt, kCloseTimeoutMs);
  }
}

std::string ItemText(HWND prompt, int control) {
  char text[4200] = {};
  GetDlgItemTextA(prompt, control, text, sizeof text);
  return text;
}

void Click(HWND prompt, int control) { SendMessageA(GetDlgItem(prompt, control), BM_CLICK, 0, 0); }

void Press(HWND prompt, int control) {
  PostMessageA(prompt, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(prompt, control)));
}

bool WaitUntilClosed(HWND window, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (IsWindow(window) && IsWindowVisible(window)) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

}  // namespace vrpph::wine_tests
