#include "support/fake_text.h"

#include <cstring>
#include <string>

namespace vrpph::testing {

namespace {

// Code page 1252's bytes 0x80-0x9F; 0 where the code page has no character.
constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToAnsi(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == c) return static_cast<char>(0x80 + i);
  }
  // The five bytes without a character read as the control of their value.
  if (c >= 0x80 && c < 0xA0 && !kHigh[c - 0x80]) return static_cast<char>(c);
  // Best fit for Latin Extended-A: the base letter, as Wine maps it.
  if (c == 0x0100 || c == 0x0102 || c == 0x0104) return 'A';
  if (c == 0x0101 || c == 0x0103 || c == 0x0105) return 'a';
  return '?';
}

char16_t FromAnsi(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kHigh[c - 0x80] ? kHigh[c - 0x80] : c;
  return c;
}

}  // namespace

int FakeText::WideToMultiByte(const char16_t* text, char* out, int capacity) const {
  ++conversions_;
  if (!text || failConversions_ || capacity < 0) return 0;
  std::size_t length = 0;
  while (text[length]) ++length;
  int needed = static_cast<int>(length) + 1;
  if (capacity == 0) return needed;
  if (capacity < needed) return 0;
  for (std::size_t i = 0; i <= length; ++i) out[i] = ToAnsi(text[i]);
  return needed;
}

int FakeText::MultiByteToWide(const char* text, char16_t* out, int capacity) const {
  if (!text || capacity < 0) return 0;
  std::size_t length = std::strlen(text);
  int needed = static_cast<int>(length) + 1;
  if (capacity == 0) return needed;
  if (capacity < needed) return 0;
  for (std::size_t i = 0; i <= length; ++i) out[i] = FromAnsi(static_cast<unsigned char>(text[i]));
  return needed;
}

void FakeText::UpperCase(std::string& text) const {
  for (char& ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
      c -= 0x20;
    } else if (c == 0x9A || c == 0x9C || c == 0x9E) {
      c -= 0x10;
    } else if (c == 0xFF) {
      c = 0x9F;
    }
    ch = static_cast<char>(c);
  }
}

bool FakeText::IsLeadByte(unsigned char byte) const { return leadBytes_.count(byte) != 0; }

}  // namespace vrpph::testing
