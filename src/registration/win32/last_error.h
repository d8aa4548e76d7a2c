// What registration reports when a call of the platform fails.
#pragma once

#include <windows.h>

namespace vrpph {

// The calling thread's last error as an HRESULT (S_OK when there is none).
HRESULT LastErrorResult();

}  // namespace vrpph
