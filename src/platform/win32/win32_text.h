// Text services on the ANSI code page.
#pragma once

#include "platform/text.h"

namespace vrpph::platform {

class Win32Text final : public Text {
 public:
  int WideToMultiByte(const char16_t* text, char* out, int capacity) const override;
  int MultiByteToWide(const char* text, char16_t* out, int capacity) const override;
  void UpperCase(std::string& text) const override;
  bool IsLeadByte(unsigned char byte) const override;
};

}  // namespace vrpph::platform
