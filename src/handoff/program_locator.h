// Where the download manager's program lives: its own setting, or else its
// uninstall entry, which is then remembered as that setting.
#pragma once

#include <optional>
#include <string>

#include "platform/registry.h"

namespace vrpph {

// Where a module looks for the uninstall entry: its own registry view, and
// for a 64-bit module then the 32-bit view, where the installer of a 32-bit
// download manager writes it. A 32-bit module's own view is that view.
enum class UninstallViews { Own, OwnThen32Bit };
constexpr UninstallViews kModuleUninstallViews =
    sizeof(void*) == 8 ? UninstallViews::OwnThen32Bit : UninstallViews::Own;

// ProgramPath as stored (an empty text counts), else the path cut from an
// uninstall command that ends in "TQP.EXE /UNINSTALL" once upper-cased,
// stored back as ProgramPath. None when neither gives a path.
std::optional<std::string> LocateProgram(platform::Registry& registry,
                                         UninstallViews views = kModuleUninstallViews);

// The same search, reading only: a path found in the uninstall entry is not
// stored, for callers that must leave the settings as they are.
std::optional<std::string> FindProgram(platform::Registry& registry,
                                       UninstallViews views = kModuleUninstallViews);

}  // namespace vrpph
