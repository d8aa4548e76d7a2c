#include "registration/script_words.h"

#include <array>
#include <utility>

#include "registration/script_chars.h"

namespace vrpph {

std::optional<platform::HKey> ScriptRootKey(std::string_view name) {
  namespace root = platform::root;
  // Searched in this order; short names first.
  constexpr std::array<std::pair<std::string_view, platform::HKey>, 14> kRoots{{
      {"HKCR", root::ClassesRoot},
      {"HKCU", root::CurrentUser},
      {"HKLM", root::LocalMachine},
      {"HKU", root::Users},
      {"HKPD", root::PerformanceData},
      {"HKDD", root::DynData},
      {"HKCC", root::CurrentConfig},
      {"HKEY_CLASSES_ROOT", root::ClassesRoot},
      {"HKEY_CURRENT_USER", root::CurrentUser},
      {"HKEY_LOCAL_MACHINE", root::LocalMachine},
      {"HKEY_USERS", root::Users},
      {"HKEY_PERFORMANCE_DATA", root::PerformanceData},
      {"HKEY_DYN_DATA", root::DynData},
      {"HKEY_CURRENT_CONFIG", root::CurrentConfig},
  }};
  for (const auto& [word, key] : kRoots) {
    if (SameWord(name, word)) return key;
  }
  return std::nullopt;
}

bool IsProtectedKeyName(std::string_view name) { return SameWord(name, "CLSID") || SameWord(name, "TYPELIB"); }

bool HasBackslash(const platform::Text& text, std::string_view name) {
  for (std::size_t at = 0; at < name.size(); at += CharSize(text, name, at)) {
    if (name[at] == '\\') return true;
  }
  return false;
}

bool RememberKeyName(const platform::Text& text, std::string_view name, std::string* remembered) {
  std::size_t at = 0;
  for (std::size_t chars = 0; at < name.size() && chars < kMaxRememberedKeyChars; ++chars) {
    at += CharSize(text, name, at);
  }
  remembered->assign(name.substr(0, at));
  return at == name.size();
}

}  // namespace vrpph
