#include "bridge/host_command_line.h"

#include <charconv>
#include <string_view>

namespace vrpph::bridge {
namespace {

// The text after `prefix`, when `argument` starts with it.
std::optional<std::string_view> After(std::string_view argument, std::string_view prefix) {
  if (argument.substr(0, prefix.size()) != prefix) return std::nullopt;
  return argument.substr(prefix.size());
}

// A decimal handle that fits a window handle; none otherwise.
std::optional<platform::WindowHandle> ParseHandle(std::string_view digits) {
  platform::WindowHandle handle = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), handle);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()) return std::nullopt;
  return handle;
}

}  // namespace

HostCommand ParseHostCommand(const std::vector<std::string>& arguments) {
  HostCommand command;
  bool ownOrigins = false;
  for (const std::string& argument : arguments) {
    if (argument == "--register") {
      command.mode = HostMode::Register;
    } else if (argument == "--unregister") {
      command.mode = HostMode::Unregister;
    } else if (auto handle = After(argument, "--parent-window=")) {
      command.parentWindow = ParseHandle(*handle);
    } else if (auto origin = After(argument, "--extension-origin=")) {
      // The first one given replaces the built-in origins; each further one adds.
      if (!ownOrigins) command.callers.chromiumOrigins.clear();
      ownOrigins = true;
      command.callers.chromiumOrigins.emplace_back(*origin);
    } else if (auto addon = After(argument, "--addon-id=")) {
      command.callers.firefoxAddonId = std::string(*addon);
    }
  }
  return command;
}

}  // namespace vrpph::bridge
