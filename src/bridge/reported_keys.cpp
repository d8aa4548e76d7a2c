#include "bridge/reported_keys.h"

#include <algorithm>

#include "sequence/key_rules.h"

namespace vrpph::bridge {
namespace {

// The Windows keys of the DOM's metaKey.
constexpr std::uint8_t kLeftWindows = 0x5B;
constexpr std::uint8_t kRightWindows = 0x5C;

const char* NameOf(std::uint8_t code) {
  switch (code) {
    case virtual_key::Shift:
    case virtual_key::LeftShift:
    case virtual_key::RightShift:
      return "shift";
    case virtual_key::Control:
    case virtual_key::LeftControl:
    case virtual_key::RightControl:
      return "ctrl";
    case virtual_key::Menu:
    case virtual_key::LeftMenu:
    case virtual_key::RightMenu:
      return "alt";
    case kLeftWindows:
    case kRightWindows:
      return "meta";
    default:
      return nullptr;
  }
}

}  // namespace

std::optional<std::vector<std::string>> KeyNamesOf(std::span<const std::uint8_t> codes) {
  std::vector<std::string> names;
  for (std::uint8_t code : codes) {
    const char* name = NameOf(code);
    if (!name) return std::nullopt;
    if (std::find(names.begin(), names.end(), name) != names.end()) return std::nullopt;
    names.emplace_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool ReportedComboHeld(const std::vector<std::string>& reported, std::span<const std::uint8_t> codes) {
  const auto names = KeyNamesOf(codes);
  return names && !names->empty() && *names == reported;
}

}  // namespace vrpph::bridge
