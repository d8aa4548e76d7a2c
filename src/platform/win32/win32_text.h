// Text services on the ANSI code page and wininet's canonicaliser.
#pragma once

#include <cstddef>

#include "platform/text.h"

namespace vrpph::platform {

// The longest URL handed to wininet's canonicaliser. Its cost grows with the
// square of the length under Wine (about 30 ms at 64 KB, 6 s at 1 MB), so a
// longer URL fails at once, as a failed canonicalisation, and is used
// undecoded. Browsers send at most a few KB.
constexpr std::size_t kMaxCanonicalizedUrl = 64 * 1024;

class Win32Text final : public Text {
 public:
  int WideToMultiByte(const char16_t* text, char* out, int capacity) const override;
  int MultiByteToWide(const char* text, char16_t* out, int capacity) const override;
  void UpperCase(std::string& text) const override;
  bool IsLeadByte(unsigned char byte) const override;
  bool CanonicalizeUrl(const char* url, char* buffer, std::uint32_t* length,
                       std::uint32_t flags) const override;
};

}  // namespace vrpph::platform
