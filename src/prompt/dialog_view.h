// What the prompt's behaviour needs from its dialog window: the real dialog
// on Windows, a recording fake in tests. Controls are named by their ids.
#pragma once

#include <array>
#include <cstdint>

#include "platform/desktop.h"

namespace vrpph {

using FontHandle = std::uintptr_t;

struct PixelSize {
  int width = 0;
  int height = 0;
};

// The font as CreateFontIndirectA receives it; every field not named here
// is 0 (default width, weight, precisions, quality, pitch and family; no
// italic, no strike-out).
struct FontDescription {
  std::int32_t height = 0;
  bool underline = false;
  std::uint8_t charset = 0;
  // At most 31 bytes of face name and a terminator, as LOGFONTA holds it.
  std::array<char, 32> faceName{};
};

class DialogView {
 public:
  virtual ~DialogView() = default;

  [[nodiscard]] virtual platform::WindowHandle Window() const = 0;
  // The dialog's outer size (GetWindowRect) and the primary screen's
  // (SM_CXSCREEN, SM_CYSCREEN).
  [[nodiscard]] virtual PixelSize DialogSize() const = 0;
  [[nodiscard]] virtual PixelSize ScreenSize() const = 0;
  // SetWindowPos keeping size and z-order.
  virtual void MoveTo(int x, int y) = 0;

  virtual void SetCaption(const char* text) = 0;
  virtual void SetItemText(int control, const char* text) = 0;

  // LOGPIXELSY of the dialog's device context, released again.
  [[nodiscard]] virtual int PixelsPerInchY() = 0;
  // CreateFontIndirectA, DeleteObject; 0 when creation fails.
  [[nodiscard]] virtual FontHandle MakeFont(const FontDescription& font) = 0;
  virtual void DestroyFont(FontHandle font) = 0;
  // WM_SETFONT with redraw.
  virtual void SetItemFont(int control, FontHandle font) = 0;

  // The speed trackbar: TBM_SETRANGEMAX and TBM_SETRANGEMIN with redraw,
  // TBM_GETPOS, TBM_SETPOS with redraw.
  virtual void SetTrackbarRangeMax(int maximum) = 0;
  virtual void SetTrackbarRangeMin(int minimum) = 0;
  [[nodiscard]] virtual int TrackbarPosition() = 0;
  virtual void SetTrackbarPosition(int position) = 0;

  // BM_GETCHECK's answer; BM_SETCHECK.
  [[nodiscard]] virtual int CheckState(int control) = 0;
  virtual void SetCheck(int control, bool checked) = 0;
  virtual void FocusItem(int control) = 0;

  virtual void EndDialog(int result) = 0;
  // Posts RaiseOptions to the dialog itself with `window` as wParam.
  virtual void PostRaiseOptions(platform::WindowHandle window) = 0;
};

}  // namespace vrpph
