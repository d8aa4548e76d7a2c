#include "support/decision_oracle.h"

#include <vector>

#include "support/registry_tools.h"

namespace vrpph::testing {

namespace {

constexpr long kNone = -1;
const char* const kMainKey = "Software\\Quorvane\\Trevalon";

// Last index of `c` in s[0, end), or kNone.
long Last(const std::string& s, char c, long end) {
  for (long i = end - 1; i >= 0; --i) {
    if (s[static_cast<std::size_t>(i)] == c) return i;
  }
  return kNone;
}
long Last(const std::string& s, char c) { return Last(s, c, static_cast<long>(s.size())); }

bool Has(const std::string& s, char c) { return Last(s, c) != kNone; }

std::string Upper(std::string s, const platform::Text& text) {
  text.UpperCase(s);
  return s;
}

std::optional<std::string> StoredText(platform::Registry& registry, const char* name) {
  auto value = GetValue(registry, platform::root::CurrentUser, kMainKey, name);
  if (!value) return std::nullopt;
  std::string text;
  for (std::uint8_t b : value->bytes) {
    if (b == 0) break;
    text += static_cast<char>(b);
  }
  return text;
}

std::string StoredCodes(platform::Registry& registry, const char* name, const std::string& fallback) {
  auto value = GetValue(registry, platform::root::CurrentUser, kMainKey, name);
  if (!value || value->bytes.empty()) return fallback;
  return std::string(value->bytes.begin(), value->bytes.end());
}

bool IsSeparator(char c) { return c == ',' || c == ' '; }

// The list reader exactly as stated: a skip that reports whether it moved,
// and a copy loop that stops at the first skip that says stop.
std::vector<std::string> Entries(const std::string& list) {
  std::vector<std::string> entries;
  std::size_t at = !list.empty() && IsSeparator(list[0]) ? 1 : 0;
  for (;;) {
    std::string entry;
    for (;;) {
      if (at >= list.size()) break;
      std::size_t before = at;
      while (at < list.size() && IsSeparator(list[at])) ++at;
      if (at != before) break;
      entry += list[at++];
    }
    if (entry.empty()) return entries;
    entries.push_back(entry);
  }
}

bool IsStop(unsigned char c) {
  if (c < 0x20 || c >= 0x80) return true;
  for (char s : std::string("\"/:*?<>|=")) {
    if (c == static_cast<unsigned char>(s)) return true;
  }
  return false;
}

bool HasAccepted(const std::string& name, const std::optional<std::string>& accepting, const platform::Text& text) {
  long dot = Last(name, '.');
  if (dot == kNone || !accepting) return false;
  return oracle::ListHas(*accepting, Upper(name.substr(static_cast<std::size_t>(dot) + 1), text));
}

bool HasLineBreak(const std::string& text) { return Has(text, '\r') || Has(text, '\n'); }

int Hex(char c) {
  const std::string digits = "0123456789abcdef";
  const std::size_t at = digits.find(static_cast<char>(c >= 'A' && c <= 'F' ? c + 32 : c));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

// The byte of a complete escape at s[i], or -1.
int Escape(const std::string& s, std::size_t i) {
  if (s[i] != '%' || i + 2 >= s.size() || Hex(s[i + 1]) < 0 || Hex(s[i + 2]) < 0) return -1;
  return Hex(s[i + 1]) * 16 + Hex(s[i + 2]);
}

// Each escape of an ASCII byte decodes, except those naming '%', '/', '\',
// '?', '#', CR, LF or NUL, and in the query '&', '=' or '+'.
std::string Decoded(const std::string& url, const std::optional<std::string>& decodeSetting) {
  if ((decodeSetting && *decodeSetting == "FALSE") || Has(url, '?')) return url;
  std::string out;
  for (std::size_t i = 0; i < url.size(); ++i) {
    const int byte = Escape(url, i);
    if (byte < 0 || byte >= 0x80 || std::string("%/\\?#\r\n").find(static_cast<char>(byte)) != std::string::npos ||
        byte == 0) {
      out += url[i];
      continue;
    }
    out += static_cast<char>(byte);
    i += 2;
  }
  return out;
}

std::u16string Wide(const platform::Text& text, const std::string& ansi) {
  std::vector<char16_t> wide(ansi.size() * 2 + 2, u'\0');
  if (text.MultiByteToWide(ansi.c_str(), wide.data(), static_cast<int>(wide.size())) <= 0) return u"\uFFFF";
  return wide.data();
}

std::string Ansi(const platform::Text& text, const std::u16string& wide) {
  std::vector<char> ansi(wide.size() * 2 + 2, '\0');
  if (text.WideToMultiByte(wide.c_str(), ansi.data(), static_cast<int>(ansi.size())) <= 0) return "";
  return ansi.data();
}

std::string Utf8Escapes(const std::u16string& wide) {
  std::string out;
  const char* hex = "0123456789ABCDEF";
  const auto put = [&](unsigned b) { out += {'%', hex[b >> 4], hex[b & 15]}; };
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t c = wide[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000) {
      c = 0x10000 + (c - 0xD800) * 0x400 + (wide[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    if (c < 0x800) {
      put(0xC0 + (c >> 6));
    } else if (c < 0x10000) {
      put(0xE0 + (c >> 12)), put(0x80 + ((c >> 6) & 63));
    } else {
      put(0xF0 + (c >> 18)), put(0x80 + ((c >> 12) & 63)), put(0x80 + ((c >> 6) & 63));
    }
    put(0x80 + (c & 63));
  }
  return out;
}

// Strict UTF-8 to UTF-16; none for anything invalid.
std::optional<std::u16string> FromUtf8(const std::string& bytes) {
  std::u16string out;
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    const int more = b < 0x80 ? 0 : b >= 0xC0 && b < 0xE0 ? 1 : b >= 0xE0 && b < 0xF0 ? 2 : b >= 0xF0 && b < 0xF8 ? 3 : -1;
    if (more < 0 || (more > 0 && i + static_cast<std::size_t>(more) >= bytes.size())) return std::nullopt;
    char32_t c = more == 0 ? b : b & (0x3F >> more);
    for (int k = 1; k <= more; ++k) {
      const unsigned char t = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((t & 0xC0) != 0x80) return std::nullopt;
      c = c * 64 + (t & 0x3F);
    }
    const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (c < least[more] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return std::nullopt;
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += static_cast<std::size_t>(more) + 1;
  }
  return out;
}

// The URL's last segment with its escapes of bytes 0x80 and up decoded:
// UTF-8 when they are, with no raw byte of the code page beside them; else
// the code page's bytes. Only a name the code page spells exactly counts.
std::optional<std::string> Readable(const platform::Text& text, const std::string& segment) {
  std::string bytes;
  bool escaped = false, raw = false;
  for (std::size_t i = 0; i < segment.size(); ++i) {
    const int byte = Escape(segment, i);
    if (byte >= 0x80) {
      bytes += static_cast<char>(byte);
      escaped = true;
      i += 2;
    } else {
      raw |= static_cast<unsigned char>(segment[i]) >= 0x80;
      bytes += segment[i];
    }
  }
  if (!escaped) return std::nullopt;
  const std::optional<std::u16string> strict = raw ? std::nullopt : FromUtf8(bytes);
  const bool utf8 = strict.has_value();
  const std::u16string wide = utf8 ? *strict : Wide(text, bytes);
  const std::string name = Ansi(text, wide);
  if (Wide(text, name) != wide || (!utf8 && name != bytes)) return std::nullopt;
  return name;
}

}  // namespace

namespace oracle {

std::optional<std::string> Extension(const std::string& url) {
  long slash = Last(url, '/');
  if (slash == kNone) return std::nullopt;
  if (slash >= 2 && url[static_cast<std::size_t>(slash) - 1] == '/') return std::nullopt;
  long dot = Last(url, '.');
  if (dot == kNone || dot < slash) return std::nullopt;
  long query = Last(url, '?'), fragment = Last(url, '#');
  long end = static_cast<long>(url.size());
  if (query != kNone && fragment != kNone) {
    end = query < fragment ? query : fragment;
  } else if (query != kNone) {
    end = query;
  } else if (fragment != kNone) {
    end = fragment;
  }
  long cutDot = Last(url, '.', end);
  if (cutDot == kNone) return std::nullopt;
  // The module's answer where the rules leave it open: a dot left of the cut
  // text's last '/' gives no extension.
  if (Last(url, '/', end) > cutDot) return std::nullopt;
  return url.substr(static_cast<std::size_t>(cutDot) + 1, static_cast<std::size_t>(end - cutDot - 1));
}

std::string FileName(const std::string& url) {
  long end = static_cast<long>(url.size());
  for (long i = end - 1; i >= 1; --i) {
    if (url[static_cast<std::size_t>(i)] == '?') {
      end = i;
      break;
    }
  }
  long start = 0;
  for (long i = end - 1; i >= 1; --i) {
    if (url[static_cast<std::size_t>(i)] == '/') {
      start = i + 1;
      break;
    }
  }
  return url.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

bool ListHas(const std::string& list, const std::string& candidate) {
  if (candidate.empty()) return false;
  for (const auto& entry : Entries(list)) {
    if (entry == candidate) return true;
  }
  return false;
}

std::optional<std::string> Embedded(const std::string& url, const std::optional<std::string>& accepting,
                                    const platform::Text& text) {
  if (!accepting) return std::nullopt;
  const std::string upper = Upper(url, text);
  for (const auto& entry : Entries(*accepting)) {
    const std::string pattern = "." + entry;
    std::size_t k = upper.find(pattern);
    if (k == std::string::npos) continue;
    long j = static_cast<long>(k) - 1;
    while (j >= 0 && !IsStop(static_cast<unsigned char>(url[static_cast<std::size_t>(j)]))) --j;
    std::size_t from = static_cast<std::size_t>(j + 1);
    return url.substr(from, k + entry.size() + 1 - from);
  }
  return std::nullopt;
}

bool Held(platform::KeyStateTable table, const std::string& codes) {
  const unsigned char groups[3][3] = {{0x10, 0xA0, 0xA1}, {0x11, 0xA2, 0xA3}, {0x12, 0xA4, 0xA5}};
  unsigned held = 0x80;
  for (long i = static_cast<long>(codes.size()) - 1; i >= 0; --i) {
    unsigned char code = static_cast<unsigned char>(codes[static_cast<std::size_t>(i)]);
    held &= table[code];
    table[code] = 0;
    for (const auto& group : groups) {
      if (code == group[0] || code == group[1] || code == group[2]) {
        for (unsigned char sibling : group) table[sibling] = 0;
      }
    }
    if (held == 0) break;
  }
  if (held == 0) return false;
  for (std::uint8_t entry : table) {
    if (entry & 0x80) return false;
  }
  return true;
}

}  // namespace oracle

ExpectedScreening ExpectScreening(const OracleWorld& world, const char16_t* wideUrl, RequestVerb verb) {
  using Outcome = ExpectedScreening::Outcome;
  ExpectedScreening e;
  platform::Registry& registry = world.registry;
  const platform::Text& text = world.text;

  if (oracle::Held(world.keys, StoredCodes(registry, "KeysToIgnore", "\x10"))) return e;
  e.forced = oracle::Held(world.keys, StoredCodes(registry, "KeysToAdd", "\x12\x11"));
  auto useCtrlAlt = StoredText(registry, "UseCtrlAlt");
  if (useCtrlAlt && *useCtrlAlt == "TRUE" && !e.forced) return e;

  // The conversion as the platform does it; a URL it cannot convert is
  // left to the browser (the module's choice).
  if (!wideUrl) return e;
  int needed = text.WideToMultiByte(wideUrl, nullptr, 0);
  if (needed <= 0) return e;
  std::vector<char> ansi(static_cast<std::size_t>(needed) + 1, '\0');
  if (text.WideToMultiByte(wideUrl, ansi.data(), needed) <= 0) return e;
  std::string converted(ansi.data());
  // A letter the code page lacks goes as the escapes of its UTF-8 bytes.
  if (Wide(text, converted) != std::u16string(wideUrl)) converted = Utf8Escapes(wideUrl);
  // A line break of its own could not stand in the record: left to the browser.
  if (HasLineBreak(converted)) return e;
  const auto decodeSetting = StoredText(registry, "DecodeURLs");
  const std::string url = Decoded(converted, decodeSetting);
  e.url = url;
  const bool decoded = !(decodeSetting && *decodeSetting == "FALSE") && !Has(url, '?');
  const std::optional<std::string> readable =
      decoded ? Readable(text, oracle::FileName(url)) : std::nullopt;

  const auto accepting = StoredText(registry, "AcceptingTypes");
  std::optional<std::string> fileName;
  if (!e.forced) {
    auto extension = oracle::Extension(url);
    if (!extension) return e;
    const std::string upperUrl = Upper(url, text);
    if (upperUrl.find("QVREDIR.ASP") != std::string::npos ||
        upperUrl.find("QVCATALOG_FETCH.ASP") != std::string::npos) {
      fileName = oracle::Embedded(url, accepting, text);
    }
    if (!fileName) {
      if (Has(url, '?')) return e;
      if (!accepting) return e;
      if (!oracle::ListHas(*accepting, Upper(*extension, text))) return e;
      auto excluded = StoredText(registry, "ExcludeFileNames");
      if (excluded && oracle::ListHas(Upper(*excluded, text), Upper(oracle::FileName(url), text))) return e;
      if (excluded && readable && oracle::ListHas(Upper(*excluded, text), Upper(*readable, text))) return e;
    }
  }
  if (world.claims(url)) {
    e.outcome = Outcome::Claimed;
    return e;
  }
  if (!fileName) {
    if (!HasAccepted(oracle::FileName(url), accepting, text)) fileName = oracle::Embedded(url, accepting, text);
  }
  e.fileName = fileName ? fileName : readable;
  if (!e.forced && verb == RequestVerb::Post) return e;
  e.outcome = Outcome::Prompt;
  return e;
}

}  // namespace vrpph::testing
