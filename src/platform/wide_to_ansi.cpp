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

std::optional<std::u16string> AnsiToWide(const platform::Text& text, const std::string& ansi) {
  const int size = text.MultiByteToWide(ansi.c_str(), nullptr, 0);
  if (size <= 0) return std::nullopt;
  std::u16string wide(static_cast<std::size_t>(size), u'\0');
  if (text.MultiByteToWide(ansi.c_str(), wide.data(), size) != size) return std::nullopt;
  wide.pop_back();  // the terminator
  return wide;
}

bool SpelledExactly(const platform::Text& text, const std::string& ansi, std::u16string_view wide) {
  const std::optional<std::u16string> back = AnsiToWide(text, ansi);
  return back && *back == wide;
}

std::optional<std::string> ExactAnsi(const platform::Text& text, const std::u16string& wide) {
  std::optional<std::string> ansi = WideToAnsi(text, wide.c_str());
  if (!ansi || !SpelledExactly(text, *ansi, wide)) return std::nullopt;
  return ansi;
}

}  // namespace vrpph
