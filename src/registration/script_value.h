// The data of a script value: "S" text, "D" number, "B" bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "registration/hresults.h"

namespace vrpph {

// The registry type of a type word ("S", "D", "B", any case); none otherwise.
std::optional<std::uint32_t> ScriptValueType(std::string_view word);

// The bytes stored for `token` as a value of `type`: text with its
// terminator; a number as 4 little-endian bytes; hex digit pairs as bytes.
// Fail for an odd number of hex digits; DispException for a number the
// conversion cannot read.
HResult EncodeScriptValue(std::uint32_t type, std::string_view token, std::vector<std::uint8_t>* data);

// The unsigned 32-bit conversion of a "D" value: decimal digits, or "&H"
// followed by hex digits, with blanks around; none for anything else or for
// a number beyond 32 bits.
std::optional<std::uint32_t> ParseScriptNumber(std::string_view token);

}  // namespace vrpph
