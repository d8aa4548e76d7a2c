#include "wine/support/modal_watcher.h"

#include <algorithm>

namespace vrpph::wine_tests {
namespace {

// The static control that holds a message box's text.
constexpr int kMessageTextId = 0xFFFF;

std::string TextOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

}  // namespace

BOOL CALLBACK ModalWatcher::VisitWindow(HWND window, LPARAM self) {
  char windowClass[16] = {};
  GetClassNameA(window, windowClass, sizeof windowClass);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  auto* watcher = reinterpret_cast<ModalWatcher*>(self);
  if (process == watcher->processId_ && lstrcmpA(windowClass, "#32770") == 0 && IsWindowVisible(window)) {
    watcher->Answer(window);
  }
  return TRUE;
}

ModalWatcher::ModalWatcher(int button, DWORD processId)
    : button_(button), processId_(processId ? processId : GetCurrentProcessId()), thread_([this] { Watch(); }) {}

ModalWatcher::~ModalWatcher() {
  stop_ = true;
  thread_.join();
}

std::vector<ModalWatcher::Answered> ModalWatcher::answered() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return answered_;
}

void ModalWatcher::Watch() {
  while (!stop_) {
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(this));
    {
      // A closed box's handle may come back for a later one.
      std::lock_guard<std::mutex> lock(mutex_);
      pressed_.erase(std::remove_if(pressed_.begin(), pressed_.end(), [](HWND w) { return !IsWindow(w); }),
                     pressed_.end());
    }
    Sleep(20);
  }
}

void ModalWatcher::Answer(HWND box) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (std::find(pressed_.begin(), pressed_.end(), box) != pressed_.end()) return;
    pressed_.push_back(box);
    HWND text = GetDlgItem(box, kMessageTextId);
    answered_.push_back({TextOf(box), text ? TextOf(text) : std::string()});
  }
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button_)));
}

}  // namespace vrpph::wine_tests
