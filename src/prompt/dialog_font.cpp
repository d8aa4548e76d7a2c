#include "prompt/dialog_font.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vrpph {

std::int32_t MulDivRounded(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) return -1;
  std::int64_t product = static_cast<std::int64_t>(a) * b;
  std::int64_t divisor = c;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  // Round half away from zero: move half the divisor toward the quotient's
  // sign; integer division then truncates.
  const std::int64_t quotient = (product < 0 ? product - divisor / 2 : product + divisor / 2) / divisor;
  if (quotient > std::numeric_limits<std::int32_t>::max() || quotient < -std::numeric_limits<std::int32_t>::max()) {
    return -1;
  }
  return static_cast<std::int32_t>(quotient);
}

std::int32_t DialogFontHeight(std::int32_t points, std::int32_t pixelsPerInch) {
  return -MulDivRounded(points, pixelsPerInch, 72);
}

FontDescription DescribeDialogFont(std::string_view faceName, std::uint32_t points, std::int32_t pixelsPerInch,
                                   std::uint32_t charset, bool underline) {
  FontDescription font;
  // The stored number is handed on bit for bit, as the platform's int takes it.
  font.height = DialogFontHeight(static_cast<std::int32_t>(points), pixelsPerInch);
  font.underline = underline;
  font.charset = static_cast<std::uint8_t>(charset & 0xFFu);
  const std::size_t length = std::min({faceName.size(), faceName.find('\0'), font.faceName.size() - 1});
  std::memcpy(font.faceName.data(), faceName.data(), length);
  return font;
}

ScopedFont CreateDialogFont(DialogView& view, std::string_view faceName, std::uint32_t points,
                            std::uint32_t charset, bool underline) {
  const FontDescription font = DescribeDialogFont(faceName, points, view.PixelsPerInchY(), charset, underline);
  const FontHandle handle = view.MakeFont(font);
  return handle ? ScopedFont(view, handle) : ScopedFont();
}

}  // namespace vrpph
