// A module's own file, as registration and the activation context name it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vrpph::platform {

// GetModuleFileName into MAX_PATH characters; none when it fails or the
// name does not fit (a cut name would name some other file), the last error
// then ERROR_INSUFFICIENT_BUFFER.
std::optional<std::string> ModuleFileNameA(HMODULE module);
// The same in UTF-16, for the type library calls.
std::optional<std::wstring> ModuleFileNameW(HMODULE module);

// GetShortPathNameA of `path` into MAX_PATH bytes; the path itself when it
// has no short form or the short form does not fit.
std::string ShortPathOf(const std::string& path);

}  // namespace vrpph::platform
