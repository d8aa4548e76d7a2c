// Text services on the ANSI code page and wininet's canonicaliser.
#pragma once

#include "platform/text.h"

namespace vrpph::platform {

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
