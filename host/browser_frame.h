// The host's main window, where the user clicks: it is in front during each
// navigation, so the handler takes it as the owner of its prompt. Its class
// name contains "IEFrame", the mark of a browser frame, and its address bar
// (a drop-down combo box, as a browser's) shows the page the link is on, so
// the handler can read that page as the referer.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace browser_host {

class BrowserFrame {
 public:
  BrowserFrame();
  BrowserFrame(const BrowserFrame&) = delete;
  BrowserFrame& operator=(const BrowserFrame&) = delete;
  ~BrowserFrame();

  [[nodiscard]] HWND window() const { return frame_; }
  // Shows `page` in the address bar (no page: no address bar) and brings
  // the frame to the front, as a click in it does.
  void Present(const std::optional<std::wstring>& page);

 private:
  HWND frame_ = nullptr;
  HWND addressBar_ = nullptr;
};

}  // namespace browser_host
