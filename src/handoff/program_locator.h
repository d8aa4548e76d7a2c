// Where the download manager's program lives: its own setting, or else its
// uninstall entry, which is then remembered as that setting.
#pragma once

#include <optional>
#include <string>

#include "platform/registry.h"

namespace vrpph {

// ProgramPath as stored (an empty text counts), else the path cut from an
// uninstall command that ends in "TQP.EXE /UNINSTALL" once upper-cased,
// stored back as ProgramPath. None when neither gives a path.
std::optional<std::string> LocateProgram(platform::Registry& registry);

}  // namespace vrpph
