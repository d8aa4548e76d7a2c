// The %name% variables a registration script may use.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace vrpph {

// Ordered (name, value) pairs of UTF-16 texts, each an owned copy.
class ScriptVariables {
 public:
  ScriptVariables() { pairs_.reserve(10); }

  void Add(std::u16string name, std::u16string value) {
    pairs_.emplace_back(std::move(name), std::move(value));
  }
  // The value of the first pair whose name, converted to the ANSI code page,
  // equals `name` without regard to case; null when none does.
  const std::u16string* Find(const platform::Text& text, std::string_view name) const;
  [[nodiscard]] std::size_t size() const { return pairs_.size(); }

 private:
  std::vector<std::pair<std::u16string, std::u16string>> pairs_;
};

// The variables of a class script: "Module" → the module's short path with
// every ' doubled, so that the path may stand inside a quoted token. None when
// the path cannot be converted to UTF-16.
std::optional<ScriptVariables> ClassScriptVariables(const platform::Text& text,
                                                    std::string_view moduleShortPath);

}  // namespace vrpph
