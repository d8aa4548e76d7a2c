#include "prompt/win32/win32_dialog_view.h"

#include <commctrl.h>

#include <cstring>

#include "prompt/dialog_ids.h"

namespace vrpph {
namespace {

// The dialog's device context for as long as one question takes.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  [[nodiscard]] HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace

platform::WindowHandle Win32DialogView::Window() const { return reinterpret_cast<platform::WindowHandle>(dialog_); }

PixelSize Win32DialogView::DialogSize() const {
  RECT rect = {};
  GetWindowRect(dialog_, &rect);
  return PixelSize{rect.right - rect.left, rect.bottom - rect.top};
}

PixelSize Win32DialogView::ScreenSize() const {
  return PixelSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void Win32DialogView::MoveTo(int x, int y) {
  SetWindowPos(dialog_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void Win32DialogView::SetCaption(const char* text) { SetWindowTextA(dialog_, text); }

void Win32DialogView::SetItemText(int control, const char* text) { SetDlgItemTextA(dialog_, control, text); }

int Win32DialogView::PixelsPerInchY() {
  WindowDc dc(dialog_);
  return dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
}

FontHandle Win32DialogView::MakeFont(const FontDescription& font) {
  LOGFONTA description = {};
  description.lfHeight = font.height;
  description.lfUnderline = font.underline ? 1 : 0;
  description.lfCharSet = font.charset;
  static_assert(sizeof description.lfFaceName == sizeof font.faceName);
  std::memcpy(description.lfFaceName, font.faceName.data(), sizeof description.lfFaceName);
  return reinterpret_cast<FontHandle>(CreateFontIndirectA(&description));
}

void Win32DialogView::DestroyFont(FontHandle font) { DeleteObject(reinterpret_cast<HFONT>(font)); }

void Win32DialogView::SetItemFont(int control, FontHandle font) {
  SendDlgItemMessageA(dialog_, control, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
}

LRESULT Win32DialogView::SendToTrackbar(UINT message, WPARAM wParam, LPARAM lParam) {
  return SendDlgItemMessageA(dialog_, prompt_control::Speed, message, wParam, lParam);
}

void Win32DialogView::SetTrackbarRangeMax(int maximum) { SendToTrackbar(TBM_SETRANGEMAX, TRUE, maximum); }

void Win32DialogView::SetTrackbarRangeMin(int minimum) { SendToTrackbar(TBM_SETRANGEMIN, TRUE, minimum); }

int Win32DialogView::TrackbarPosition() { return static_cast<int>(SendToTrackbar(TBM_GETPOS, 0, 0)); }

void Win32DialogView::SetTrackbarPosition(int position) { SendToTrackbar(TBM_SETPOS, TRUE, position); }

int Win32DialogView::CheckState(int control) {
  return static_cast<int>(SendDlgItemMessageA(dialog_, control, BM_GETCHECK, 0, 0));
}

void Win32DialogView::SetCheck(int control, bool checked) {
  SendDlgItemMessageA(dialog_, control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32DialogView::FocusItem(int control) { SetFocus(GetDlgItem(dialog_, control)); }

void Win32DialogView::EndDialog(int result) { ::EndDialog(dialog_, result); }

void Win32DialogView::PostRaiseOptions(platform::WindowHandle window) {
  PostMessageA(dialog_, prompt_message::RaiseOptions, static_cast<WPARAM>(window), 0);
}

}  // namespace vrpph
