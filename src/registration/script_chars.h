// Character stepping and word comparison shared by the script readers. Every
// step covers a whole character of the ANSI code page, so the second byte of
// a double-byte character is never read as a quote, a percent sign or a blank.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/text.h"

namespace vrpph {

// Bytes of the character at `at`: 0 at the end, 2 for a lead byte that has a
// following byte, else 1 (a lead byte at the very end stands alone).
inline std::size_t CharSize(const platform::Text& text, std::string_view s, std::size_t at) {
  if (at >= s.size()) return 0;
  if (text.IsLeadByte(static_cast<unsigned char>(s[at])) && at + 1 < s.size()) return 2;
  return 1;
}

// Keywords, types and root names are ASCII words compared without regard to case.
inline bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

inline bool BeginsWith(std::string_view token, char c) { return !token.empty() && token.front() == c; }

}  // namespace vrpph
