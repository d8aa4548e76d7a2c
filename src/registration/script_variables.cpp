#include "registration/script_variables.h"

#include "platform/wide_to_ansi.h"

namespace vrpph {

const std::u16string* ScriptVariables::Find(const platform::Text& text, std::string_view name) const {
  std::string wanted(name);
  text.UpperCase(wanted);
  for (const auto& [pairName, value] : pairs_) {
    std::optional<std::string> ansi = WideToAnsi(text, pairName.c_str());
    if (!ansi) continue;
    text.UpperCase(*ansi);
    if (*ansi == wanted) return &value;
  }
  return nullptr;
}

std::optional<ScriptVariables> ClassScriptVariables(const platform::Text& text,
                                                    std::string_view moduleShortPath) {
  const std::string path(moduleShortPath);
  int needed = text.MultiByteToWide(path.c_str(), nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::u16string wide(static_cast<std::size_t>(needed), u'\0');
  int written = text.MultiByteToWide(path.c_str(), wide.data(), needed);
  if (written <= 0) return std::nullopt;
  wide.resize(static_cast<std::size_t>(written) - 1);

  std::u16string doubled;
  doubled.reserve(wide.size());
  for (char16_t c : wide) {
    doubled += c;
    if (c == u'\'') doubled += c;
  }
  ScriptVariables variables;
  variables.Add(u"Module", std::move(doubled));
  return variables;
}

}  // namespace vrpph
