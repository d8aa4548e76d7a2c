// Drives vrpph.dll's protocol handler the way the browser does: the class
// object of HTTPPlugProt, a fresh object, and Start with a bind-information
// object and a strict sink of the test's own.
#pragma once

#include <windows.h>

#include <string>

#include "wine/support/strict_sink.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {

// Start's result for a GET of `url` reported to `sink`; E_FAIL-like codes
// when the handler cannot be created.
HRESULT StartNavigation(const LoadedDll& dll, const std::wstring& url, StrictSink& sink);

}  // namespace vrpph::wine_tests
