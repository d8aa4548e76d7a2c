// The prompt's font: built from the face name, size and character set that
// Trevalon keeps with its texts, and owned by the dialog that shows it.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "prompt/dialog_view.h"

namespace vrpph {

// a * b / c rounded to the nearest integer, halves away from zero, as the
// platform's MulDiv; -1 when c is 0 or the result does not fit.
std::int32_t MulDivRounded(std::int32_t a, std::int32_t b, std::int32_t c);

// The negative character height in pixels for `points` at `pixelsPerInch`:
// 8 points at 96 give -11; 0 points give 0, the platform's default.
std::int32_t DialogFontHeight(std::int32_t points, std::int32_t pixelsPerInch);

// The font description: a face name longer than 31 bytes is cut to its
// first 31 (it ends at an embedded zero byte, too), and only the low byte of
// `charset` counts.
FontDescription DescribeDialogFont(std::string_view faceName, std::uint32_t points, std::int32_t pixelsPerInch,
                                   std::uint32_t charset, bool underline);

// One font made through a view, deleted through it. Move-only.
class ScopedFont {
 public:
  ScopedFont() = default;
  ScopedFont(DialogView& view, FontHandle font) : view_(&view), font_(font) {}
  ScopedFont(const ScopedFont&) = delete;
  ScopedFont& operator=(const ScopedFont&) = delete;
  ScopedFont(ScopedFont&& other) noexcept : view_(other.view_), font_(std::exchange(other.font_, FontHandle{})) {}
  ScopedFont& operator=(ScopedFont&& other) noexcept {
    if (this != &other) {
      Reset();
      view_ = other.view_;
      font_ = std::exchange(other.font_, FontHandle{});
    }
    return *this;
  }
  ~ScopedFont() { Reset(); }

  [[nodiscard]] FontHandle get() const { return font_; }
  void Reset() {
    if (font_ != FontHandle{}) view_->DestroyFont(std::exchange(font_, FontHandle{}));
  }

 private:
  DialogView* view_ = nullptr;
  FontHandle font_{};
};

// Creates the font for the view's screen resolution; an empty ScopedFont
// when the platform refuses.
ScopedFont CreateDialogFont(DialogView& view, std::string_view faceName, std::uint32_t points,
                            std::uint32_t charset, bool underline);

}  // namespace vrpph
