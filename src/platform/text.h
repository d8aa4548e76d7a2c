// Text services of the platform: the ANSI code page and wininet's URL
// canonicaliser.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vrpph::platform {

namespace canonicalize {
constexpr std::uint32_t Decode = 0x10000000;    // ICU_DECODE
constexpr std::uint32_t NoEncode = 0x20000000;  // ICU_NO_ENCODE
}  // namespace canonicalize

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
  // InternetCanonicalizeUrlA. `length` holds the buffer's capacity on entry
  // and the result's length (or the size needed) on return.
  virtual bool CanonicalizeUrl(const char* url, char* buffer, std::uint32_t* length,
                               std::uint32_t flags) const = 0;
};

// A copy of `text` upper-cased as the ANSI code page does it.
inline std::string UpperCased(std::string_view text, const Text& platformText) {
  std::string copy(text);
  platformText.UpperCase(copy);
  return copy;
}

}  // namespace vrpph::platform
