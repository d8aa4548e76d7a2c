// The module's edges to its callers: the DLL's exports, the COM methods, the
// dialog and enumeration procedures. Nothing may unwind through them into the
// browser, a script host or the window manager, so each runs its work through
// NoThrow and gives, for a failure (out of memory above all), the answer the
// module gives for that failure anywhere else.
#pragma once

#include <utility>

namespace vrpph {

template <typename Result, typename Body>
Result NoThrow(Result failure, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return failure;
  }
}

}  // namespace vrpph
