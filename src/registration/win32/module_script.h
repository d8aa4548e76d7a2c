// A class's registration script, read from the module's own resources and
// run through the registrar.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace vrpph {

// Runs REGISTRY resource `scriptId` of `module`'s file, opened as a data
// file by its short path, with "Module" set to that short path. A file or
// resource that cannot be had gives the last error as an HRESULT.
HRESULT RegisterFromScript(HMODULE module, int scriptId, bool doRegister);

// Runs the same script's register pass into registry view `view`
// (access::View32 or View64), filling in only what is missing there.
HRESULT FillInFromScript(HMODULE module, int scriptId, std::uint32_t view);

// Runs REGISTRY resource `scriptId` of the file `path`, opened as a data
// file, through `registry` with "Module" set to `modulePath`: how an
// installer learns what the module's registration writes for a module
// that will live elsewhere.
HRESULT RunFileScript(const std::string& path, int scriptId, std::string_view modulePath,
                      platform::Registry& registry, bool doRegister);

}  // namespace vrpph
