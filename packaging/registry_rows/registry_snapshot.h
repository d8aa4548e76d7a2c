// A live registry tree read into a RegistryState, in one registry view.
#pragma once

#include <windows.h>

#include <string>

#include "registry_rows/registry_state.h"

namespace vrpph::packaging {

// Every value and empty leaf key below `root`\`path` (the whole root for an
// empty path) as seen through `view` (KEY_WOW64_64KEY or KEY_WOW64_32KEY),
// with keys named after `rootName` ("HKCR"). Keys named Wow6432Node are left
// out: they are the other view, which is read as a view of its own. A key
// that cannot be opened is left out too; `unreadable` (if given) counts them.
RegistryState TakeSnapshot(HKEY root, const std::string& rootName, const std::string& path, REGSAM view,
                           int* unreadable = nullptr);

}  // namespace vrpph::packaging
