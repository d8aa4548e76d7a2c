#include "registration/expand_script.h"

#include "platform/wide_to_ansi.h"
#include "registration/script_chars.h"

namespace vrpph {

namespace {

// Position of the next '%' from `from`, stepping by whole characters; npos if none.
std::size_t FindPercent(const platform::Text& text, std::string_view s, std::size_t from) {
  for (std::size_t at = from; at < s.size(); at += CharSize(text, s, at)) {
    if (s[at] == '%') return at;
  }
  return std::string_view::npos;
}

std::size_t CountChars(const platform::Text& text, std::string_view s) {
  std::size_t chars = 0;
  for (std::size_t at = 0; at < s.size(); at += CharSize(text, s, at)) ++chars;
  return chars;
}

}  // namespace

HResult ExpandScript(const platform::Text& text, std::string_view script, const ScriptVariables& variables,
                     std::string* expanded) {
  script = script.substr(0, script.find('\0'));
  std::string out;
  out.reserve(script.size() * 2);
  std::size_t at = 0;
  while (at < script.size()) {
    std::size_t size = CharSize(text, script, at);
    if (script[at] != '%') {
      out.append(script, at, size);
      at += size;
      continue;
    }
    if (at + 1 < script.size() && script[at + 1] == '%') {
      out += '%';
      at += 2;
      continue;
    }
    std::size_t close = FindPercent(text, script, at + 1);
    if (close == std::string_view::npos) return hresult::DispException;
    std::string_view name = script.substr(at + 1, close - at - 1);
    if (CountChars(text, name) > kMaxVariableNameChars) return hresult::Fail;
    const std::u16string* value = variables.Find(text, name);
    if (!value) return hresult::DispException;
    std::optional<std::string> ansi = WideToAnsi(text, value->c_str());
    if (!ansi) return hresult::Fail;
    out += *ansi;
    at = close + 1;
  }
  *expanded = std::move(out);
  return hresult::Ok;
}

}  // namespace vrpph
