// The ANSI code page 1252 as Wine carries it out, for the cases the module
// meets.
#pragma once

#include <set>

#include "platform/text.h"

namespace vrpph::testing {

class FakeText : public platform::Text {
 public:
  int WideToMultiByte(const char16_t* text, char* out, int capacity) const override;
  int MultiByteToWide(const char* text, char16_t* out, int capacity) const override;
  void UpperCase(std::string& text) const override;
  bool IsLeadByte(unsigned char byte) const override;

  // Pretends a double-byte code page whose lead bytes are these.
  void SetLeadBytes(std::set<unsigned char> leadBytes) { leadBytes_ = std::move(leadBytes); }
  // Makes every conversion to ANSI fail, as for an invalid input.
  void FailConversions(bool fail) { failConversions_ = fail; }
  int ConversionCount() const { return conversions_; }

 private:
  std::set<unsigned char> leadBytes_;
  bool failConversions_ = false;
  mutable int conversions_ = 0;
};

}  // namespace vrpph::testing
