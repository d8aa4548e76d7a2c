// What the host was started for: serving a browser's port (the browser
// passes the caller's origin, and Chromium on Windows the window the
// request comes from), or registering or unregistering itself.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bridge/host_registration.h"
#include "platform/desktop.h"

namespace vrpph::bridge {

enum class HostMode { Serve, Register, Unregister };

struct HostCommand {
  HostMode mode = HostMode::Serve;
  // --parent-window=HANDLE, decimal as Chromium writes it.
  std::optional<platform::WindowHandle> parentWindow;
  // --register only: --extension-origin=ORIGIN (repeatable), --addon-id=ID.
  AllowedCallers callers;
};

// `arguments` without the program's name, UTF-8. Arguments the host does not
// know (the origin, the manifest path Firefox passes) are left alone.
HostCommand ParseHostCommand(const std::vector<std::string>& arguments);

}  // namespace vrpph::bridge
