#include "platform/wide_to_ansi.h"

namespace vrpph {

std::optional<std::string> WideToAnsi(const platform::Text& text, const char16_t* wide) {
  if (!wide) return std::nullopt;
  int needed = text.WideToMultiByte(wide, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::string out(static_cast<std::size_t>(needed), '\0');
  int written = text.WideToMultiByte(wide, out.data(), needed);
  if (written <= 0) return std::nullopt;
  // The count includes the converted terminator.
  out.resize(static_cast<std::size_t>(written) - 1);
  return out;
}

}  // namespace vrpph
