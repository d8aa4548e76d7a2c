// The one rule every field of the transfer record keeps: the download
// manager reads one field a line, so a field never holds a line break or a
// NUL of its own (PostData, a body, excepted).
#pragma once

#include <string_view>

namespace vrpph {

inline bool FitsInRecordField(std::string_view value) {
  return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace vrpph
