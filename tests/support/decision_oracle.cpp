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

// "%0D", "%0A" or "%00" in any case.
bool EscapesLineBreakOrNul(const std::string& url) {
  for (std::size_t i = 0; i + 2 < url.size(); ++i) {
    if (url[i] != '%' || url[i + 1] != '0') continue;
    const char c = url[i + 2];
    if (c == 'd' || c == 'D' || c == 'a' || c == 'A' || c == '0') return true;
  }
  return false;
}

// A URL whose decoding would put a line break or a NUL into the record is
// sent as given.
std::optional<std::string> Decoded(const platform::Text& text, const std::string& converted,
                                   const std::optional<std::string>& decodeSetting) {
  if (decodeSetting && *decodeSetting == "FALSE") return converted;
  if (Has(converted, '?') || EscapesLineBreakOrNul(converted)) return converted;
  std::vector<char> buffer(converted.size() + 1, '\0');
  std::uint32_t length = static_cast<std::uint32_t>(buffer.size());
  if (!text.CanonicalizeUrl(converted.c_str(), buffer.data(), &length,
                            platform::canonicalize::Decode | platform::canonicalize::NoEncode)) {
    return converted;
  }
  buffer.back() = '\0';
  const std::string decoded(buffer.data());
  return HasLineBreak(decoded) ? converted : decoded;
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
  // A line break of its own could not stand in the record: left to the browser.
  if (HasLineBreak(std::string(ansi.data()))) return e;
  const std::string url = *Decoded(text, std::string(ansi.data()), StoredText(registry, "DecodeURLs"));
  e.url = url;

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
    }
  }
  if (world.claims(url)) {
    e.outcome = Outcome::Claimed;
    return e;
  }
  if (!fileName) {
    if (!HasAccepted(oracle::FileName(url), accepting, text)) fileName = oracle::Embedded(url, accepting, text);
  }
  e.fileName = fileName;
  if (!e.forced && verb == RequestVerb::Post) return e;
  e.outcome = Outcome::Prompt;
  return e;
}

}  // namespace vrpph::testing
