#include "handoff/program_locator.h"

#include <cstring>

#include "settings/contact_points.h"
#include "settings/settings_key.h"

namespace vrpph {
namespace {

// Only a to z change: the uninstall entry is matched byte for byte, whatever
// the code page.
void UpperCaseAsciiLetters(std::string& text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
}

// The uninstall command in one registry view; none when it cannot be read.
std::optional<std::string> ReadUninstallCommand(platform::Registry& registry, std::uint32_t view) {
  return SettingsKey::Open(registry, platform::root::LocalMachine, keys::Uninstall, SettingsKey::Access::Read, view)
      .Text(values::UninstallString);
}

struct FoundProgram {
  std::optional<std::string> path;
  bool fromUninstallEntry = false;
};

FoundProgram Search(platform::Registry& registry, UninstallViews views) {
  std::optional<std::string> stored = SettingsKey::Main(registry).Text(values::ProgramPath);
  if (stored) return {stored, false};

  auto command = ReadUninstallCommand(registry, 0);
  if (!command && views == UninstallViews::OwnThen32Bit) {
    command = ReadUninstallCommand(registry, platform::access::View32);
  }
  if (!command) return {};
  UpperCaseAsciiLetters(*command);

  // The first occurrence must be the one that ends the text: a second
  // switch after it, or a closing quote inside it, means the entry is not
  // the plain form this lookup understands.
  const std::size_t suffixLength = std::strlen(manager::UninstallSuffix);
  std::size_t at = command->find(manager::UninstallSuffix);
  if (at == std::string::npos || at + suffixLength != command->size()) return {};
  command->resize(at + std::strlen(manager::ProgramFile));
  return {command, true};
}

}  // namespace

std::optional<std::string> LocateProgram(platform::Registry& registry, UninstallViews views) {
  FoundProgram found = Search(registry, views);
  // Whether the store succeeds does not matter: the path is found again.
  if (found.fromUninstallEntry) {
    (void)SettingsKey::Main(registry, SettingsKey::Access::ReadWrite).WriteText(values::ProgramPath, *found.path);
  }
  return std::move(found.path);
}

std::optional<std::string> FindProgram(platform::Registry& registry, UninstallViews views) {
  return Search(registry, views).path;
}

}  // namespace vrpph
