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
  // Best fit for Latin Extended-A: the base letter, as Wine maps it.
  if (c == 0x0100 || c == 0x0102 || c == 0x0104) return 'A';
  if (c == 0x0101 || c == 0x0103 || c == 0x0105) return 'a';
  return '?';
}

char16_t FromAnsi(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kHigh[c - 0x80] ? kHigh[c - 0x80] : c;
  return c;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Removes "seg/.." pairs and "." segments from the path that starts at `from`.
void RemoveDotSegments(std::string& url, std::size_t from) {
  std::string path = url.substr(from);
  std::string out;
  std::size_t i = 0;
  while (i < path.size()) {
    std::size_t next = path.find('/', i + 1);
    std::string seg = path.substr(i, next == std::string::npos ? std::string::npos : next - i);
    if (seg == "/.." ) {
      std::size_t cut = out.rfind('/');
      out.erase(cut == std::string::npos ? 0 : cut);
      if (next == std::string::npos) out += '/';
    } else if (seg == "/." && !out.empty()) {
      if (next == std::string::npos) out += '/';
    } else {
      out += seg;
    }
    if (next == std::string::npos) break;
    i = next;
  }
  url.replace(from, std::string::npos, out);
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

bool FakeText::CanonicalizeUrl(const char* url, char* buffer, std::uint32_t* length,
                               std::uint32_t flags) const {
  std::string text(url);
  std::size_t scheme = text.find("://");
  if (scheme != std::string::npos) {
    for (char& c : text) {
      if (c == '\\') c = '/';
    }
    std::size_t pathStart = text.find('/', scheme + 3);
    std::size_t queryStart = text.find_first_of("?#", scheme + 3);
    if (pathStart == std::string::npos || (queryStart != std::string::npos && queryStart < pathStart)) {
      text.insert(queryStart == std::string::npos ? text.size() : queryStart, "/");
      pathStart = text.find('/', scheme + 3);
    }
    std::size_t end = text.find_first_of("?#", pathStart);
    std::string tail = end == std::string::npos ? "" : text.substr(end);
    text.erase(end == std::string::npos ? text.size() : end);
    RemoveDotSegments(text, pathStart);
    text += tail;
  }
  if (flags & platform::canonicalize::Decode) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
      bool escape = text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
                    HexDigit(text[i + 2]) >= 0;
      if (!escape) {
        decoded += text[i];
        continue;
      }
      char c = static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      if (c == 0) break;  // a decoded NUL ends the text
      decoded += c;
      i += 2;
    }
    text = decoded;
  }
  std::uint32_t needed = static_cast<std::uint32_t>(text.size()) + 1;
  if (*length < needed) {
    *length = needed;
    return false;
  }
  std::memcpy(buffer, text.c_str(), needed);
  *length = needed - 1;
  return true;
}

}  // namespace vrpph::testing
