// The package's rows written out: a WiX include of RegistryValue elements for
// each module's component, and a table of every row for the tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "registry_rows/package_rows.h"

namespace vrpph::packaging {

// The RegistryValue elements of the `bits` module's component, in an
// <Include>. False, with `error` said, for a row wixl cannot carry as it is.
bool WriteComponentRows(std::ostream& out, const std::vector<PackageRow>& rows, int bits, std::string* error);

// A file the generator made for a component, staged beside the include
// under its own name.
struct WixFile {
  std::string id;    // its File Id: letters, digits, '_' and '.'
  std::string name;  // its name, both staged and installed
};

// A component's File elements for `files`, then its rows as
// WriteComponentRows writes them; `madeFrom` says in the include's comment
// what they were learnt from. False, with `error` said, for a file or row
// wixl cannot carry as it is.
bool WriteComponentInclude(std::ostream& out, const std::string& madeFrom, const std::vector<WixFile>& files,
                           const std::vector<PackageRow>& rows, int bits, std::string* error);

// One row a line, fields split by tabs: bits, view ("own" or "other"),
// placement, root, key, kind ("value", "key" or "kept-key"), value name ("@"
// for the default), type (1 text, 4 number), data (the text, or the number in
// decimal; a reference stands where the module's path does).
// False, with `error` said, for a row whose fields hold a tab or a line break.
bool WriteRowTable(std::ostream& out, const std::vector<PackageRow>& rows, std::string* error);

}  // namespace vrpph::packaging
