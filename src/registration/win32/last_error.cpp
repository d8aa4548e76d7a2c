#include "registration/win32/last_error.h"

#include "registration/hresults.h"

namespace vrpph {

HRESULT LastErrorResult() { return static_cast<HRESULT>(hresult::FromWin32(static_cast<long>(GetLastError()))); }

}  // namespace vrpph
