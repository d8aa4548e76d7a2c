// The module's own file, as registration names it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vrpph {

// GetModuleFileNameA into MAX_PATH bytes; none when it fails or the name
// does not fit (a cut name would register some other file).
std::optional<std::string> ModuleFileNameA(HMODULE module);
// The same in UTF-16, for the type library calls.
std::optional<std::wstring> ModuleFileNameW(HMODULE module);

// GetShortPathNameA of `path` into MAX_PATH bytes; the path itself when it
// has no short form or the short form does not fit.
std::string ShortPathOf(const std::string& path);

// The calling thread's last error as an HRESULT (S_OK when there is none).
HRESULT LastErrorResult();

}  // namespace vrpph
