#include "platform/win32/win32_text.h"

#include <windows.h>

namespace vrpph::platform {

// char16_t and wchar_t are both UTF-16 code units on Windows; only the C++
// type differs.
static_assert(sizeof(char16_t) == sizeof(wchar_t));

int Win32Text::WideToMultiByte(const char16_t* text, char* out, int capacity) const {
  return WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text), -1, out, capacity,
                             nullptr, nullptr);
}

int Win32Text::MultiByteToWide(const char* text, char16_t* out, int capacity) const {
  return MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<wchar_t*>(out), capacity);
}

void Win32Text::UpperCase(std::string& text) const {
  if (text.empty()) return;
  CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
}

bool Win32Text::IsLeadByte(unsigned char byte) const { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace vrpph::platform
