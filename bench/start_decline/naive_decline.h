// The comparison for Start's decline path: the same rules written the
// naive way, each setting read with its own open and close of the main key
// and both key combinations always read. Bench-only; the module never runs it.
#pragma once

#include "interception/navigation_decision.h"
#include "platform/platform.h"

namespace vrpph::bench {

// The screening up to the prompt; Take stands for "goes on to the prompt".
NavigationAnswer NaiveScreening(const char16_t* url, platform::Platform& platform);

}  // namespace vrpph::bench
