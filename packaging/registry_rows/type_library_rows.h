// What the module's type library registration writes, learnt by letting the
// platform's RegisterTypeLib do it (through the module's own
// RegisterTypeLibraryOf) in a Wine prefix kept for the purpose, reading
// HKEY_CLASSES_ROOT in both registry views before and after, and taking it
// back with the module's own unregistration.
//
// Redirecting HKEY_CLASSES_ROOT with RegOverridePredefKey would not do: the
// platform registers each interface in the other view too, with
// KEY_WOW64_32KEY (or _64KEY), and an open of the predefined key that names
// a view passes the override by, so those writes would miss the recording
// and land in the real registry.
#pragma once

#include <string>
#include <vector>

#include "registry_rows/registry_row.h"

namespace vrpph::packaging {

struct TypeLibraryRows {
  // Seen in this process's own view, keys both views share included.
  std::vector<RegistryRow> own;
  // Seen only in the other view.
  std::vector<RegistryRow> other;
};

// False, with `error` said, when registration fails, when it changes or
// removes anything that was there before (the prefix already registered the
// library), or when unregistration does not put both views back as they were.
bool CaptureTypeLibraryRows(const std::string& modulePath, TypeLibraryRows* rows, std::string* error);

}  // namespace vrpph::packaging
