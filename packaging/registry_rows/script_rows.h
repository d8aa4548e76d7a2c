// What the module's class scripts write: every REGISTRY resource of the
// module file, run by the module's own registrar against an in-memory
// registry, with "Module" set to the path the package gives the module.
#pragma once

#include <string>
#include <vector>

#include "registry_rows/registry_row.h"

namespace vrpph::packaging {

struct ScriptRow {
  RegistryRow row;
  // Unregistration leaves it: a key the scripts mark NoRemove, or a value of
  // the platform's own that registration rewrites and never takes back.
  bool keptByUnregistration = false;
};

// Runs each script of `modulePath` in register mode into an empty registry,
// then each in unregister mode. The rows are what the register pass left;
// each tells whether the unregister pass took it back. False, with `error`
// said, when the file or a script fails.
bool ReadScriptRows(const std::string& modulePath, const std::string& registeredPath, std::vector<ScriptRow>* rows,
                    std::string* error);

}  // namespace vrpph::packaging
