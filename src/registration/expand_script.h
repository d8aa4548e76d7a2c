// Replaces the %name% variables of a script before any token is read.
#pragma once

#include <string>
#include <string_view>

#include "platform/text.h"
#include "registration/hresults.h"
#include "registration/script_variables.h"

namespace vrpph {

// A variable name holds at most this many characters.
constexpr std::size_t kMaxVariableNameChars = 31;

// Copies `script` (up to its first zero byte) into `expanded`: "%%" becomes
// "%", "%name%" the variable's value in the ANSI code page. DispException for
// an unclosed or unknown variable, Fail for an over-long name or a value the
// code page cannot hold.
HResult ExpandScript(const platform::Text& text, std::string_view script, const ScriptVariables& variables,
                     std::string* expanded);

}  // namespace vrpph
