// The prompt's dialog view on a real dialog window.
#pragma once

#include <windows.h>

#include "prompt/dialog_view.h"

namespace vrpph {

class Win32DialogView : public DialogView {
 public:
  // The window is known from WM_INITDIALOG on.
  void Attach(HWND dialog) { dialog_ = dialog; }

  platform::WindowHandle Window() const override;
  PixelSize DialogSize() const override;
  PixelSize ScreenSize() const override;
  void MoveTo(int x, int y) override;
  void SetCaption(const char* text) override;
  void SetItemText(int control, const char* text) override;
  int PixelsPerInchY() override;
  FontHandle MakeFont(const FontDescription& font) override;
  void DestroyFont(FontHandle font) override;
  void SetItemFont(int control, FontHandle font) override;
  void SetTrackbarRangeMax(int maximum) override;
  void SetTrackbarRangeMin(int minimum) override;
  int TrackbarPosition() override;
  void SetTrackbarPosition(int position) override;
  int CheckState(int control) override;
  void SetCheck(int control, bool checked) override;
  void FocusItem(int control) override;
  void EndDialog(int result) override;
  void PostRaiseOptions(platform::WindowHandle window) override;

 private:
  LRESULT SendToTrackbar(UINT message, WPARAM wParam, LPARAM lParam);

  HWND dialog_ = nullptr;
};

}  // namespace vrpph
