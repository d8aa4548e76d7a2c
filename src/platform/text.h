// Text services of the platform: the ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace vrpph::platform {

class Text {
 public:
  virtual ~Text() = default;

  // WideCharToMultiByte(CP_ACP, 0, text, -1, out, capacity, NULL, NULL):
  // with capacity 0 the bytes needed, terminator included; otherwise the
  // bytes written, terminator included; 0 on failure.
  virtual int WideToMultiByte(const char16_t* text, char* out, int capacity) const = 0;
  // MultiByteToWideChar(CP_ACP, 0, text, -1, ...), same conventions.
  virtual int MultiByteToWide(const char* text, char16_t* out, int capacity) const = 0;
  // CharUpperBuffA over the whole text, in place; lengths do not change.
  virtual void UpperCase(std::string& text) const = 0;
  // IsDBCSLeadByte for the ANSI code page.
  virtual bool IsLeadByte(unsigned char byte) const = 0;
};

// A copy of `text` upper-cased as the ANSI code page does it.
inline std::string UpperCased(std::string_view text, const Text& platformText) {
  std::string copy(text);
  platformText.UpperCase(copy);
  return copy;
}

}  // namespace vrpph::platform
