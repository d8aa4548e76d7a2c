// The module's type library: found in the module itself or, failing that,
// in a ".tlb" file of the same name beside it; registered and unregistered
// by the platform's own calls.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "platform/win32/com_ref.h"

namespace vrpph {

struct LoadedTypeLibrary {
  platform::ComRef<ITypeLib> library;
  // The file it came from.
  std::wstring path;
};

// LoadTypeLib on `path`, then on `path` with its file name's extension (or
// the end, when it has none) replaced by ".tlb". The second attempt's error
// when both fail.
HRESULT LoadTypeLibraryBeside(const std::wstring& path, LoadedTypeLibrary& out);

// RegisterTypeLib with the file it came from and that file's folder as the
// help directory; a library that cannot be loaded gives the load's error.
HRESULT RegisterTypeLibrary(HMODULE module);

// UnRegisterTypeLib by the library's own attributes; nothing when the
// library cannot be loaded.
void UnregisterTypeLibrary(HMODULE module);

// The same two for the module file `modulePath`, loaded or not: an
// installer learns from them what the module's registration writes.
HRESULT RegisterTypeLibraryOf(const std::wstring& modulePath);
void UnregisterTypeLibraryOf(const std::wstring& modulePath);

}  // namespace vrpph
