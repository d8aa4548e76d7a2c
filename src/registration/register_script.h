// The registrar's entry for the Windows layer: a script's text in, the
// registry changed (or restored) and an HRESULT out.
#pragma once

#include <string_view>

#include "platform/registry.h"
#include "platform/text.h"
#include "registration/hresults.h"
#include "registration/script_variables.h"

namespace vrpph {

// Expands `scriptText` (ANSI, ended by its size or a zero byte) with
// `variables` and runs it in register or unregister mode. Running out of
// memory throws std::bad_alloc, for the export that called to answer.
HResult RegisterScriptText(platform::Registry& registry, const platform::Text& text, std::string_view scriptText,
                           const ScriptVariables& variables, bool doRegister);

// The same for a class script, whose one variable "Module" is the module's
// short path. Fail when the path cannot be converted.
HResult RegisterClassScript(platform::Registry& registry, const platform::Text& text, std::string_view scriptText,
                            std::string_view moduleShortPath, bool doRegister);

}  // namespace vrpph
