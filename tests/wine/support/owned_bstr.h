// A BSTR owned for the length of a call, freed when the owner goes.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace vrpph::wine_tests {

class Bstr {
 public:
  // Null stays null: a caller may pass no text at all.
  explicit Bstr(const wchar_t* text) : text_(SysAllocString(text)) {}
  // Every character, embedded NULs included.
  explicit Bstr(const std::wstring& text) : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(text_); }
  [[nodiscard]] BSTR get() const { return text_; }

 private:
  BSTR text_;
};

}  // namespace vrpph::wine_tests
