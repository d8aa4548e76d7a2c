// Removes a key with everything beneath it.
#pragma once

#include "platform/registry.h"

namespace vrpph {

// Deletes parent\name and all its subkeys, deepest first. Returns the
// registry's status: the open's failure, the first failing subkey's status
// (the rest is left), or the final delete's result.
long DeleteKeyTree(platform::Registry& registry, platform::HKey parent, const char* name);

}  // namespace vrpph
