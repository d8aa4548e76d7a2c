// The registry rows of the package: the module's own registration of each
// architecture, with the package's references where the module's path
// stands, and the place each row takes in the package.
#pragma once

#include <string>
#include <vector>

#include "registry_rows/registry_row.h"
#include "registry_rows/script_rows.h"
#include "registry_rows/type_library_rows.h"

namespace vrpph::packaging {

// A module as the package installs it.
struct PackagedModule {
  int bits = 64;            // 64 or 32
  std::string fileId;       // its File Id: "[#id]" is its path, "[!id]" its short path
  std::string directoryId;  // its folder's Directory Id: "[id]" is the folder with a closing backslash
  std::string builtPath;    // the built module the rows are learnt from
};

// What the module's registration wrote, learnt from the built module.
struct ModuleRegistration {
  PackagedModule module;
  std::vector<ScriptRow> scripts;  // "Module" already set to "[!fileId]"
  TypeLibraryRows typeLibrary;     // the built module's own path still in it
};

enum class Placement {
  // Written by the module's component in its own view, removed with it.
  Component,
  // A value of the platform's own that registration rewrites and
  // unregistration keeps: the package leaves the platform's value alone.
  Platform,
  // Written into the other architecture's view; the other module's component
  // writes the same row there.
  OtherComponent,
  // A value of a key both views share that the 64-bit module's component
  // writes with other data: one value, so the 64-bit one stands.
  SharedWith64,
};

struct PackageRow {
  int bits = 64;           // whose registration wrote it
  bool otherView = false;  // written into the other architecture's view
  Placement placement = Placement::Component;
  // Created by the package but never removed by it, as unregistration keeps it.
  bool keptKey = false;
  RegistryRow row;
};

const char* PlacementName(Placement placement);

// Places every row of both modules; false, with `error` said, for a row the
// package cannot carry as the module's registration writes it.
bool PlaceRows(const std::vector<ModuleRegistration>& modules, std::vector<PackageRow>* rows, std::string* error);

}  // namespace vrpph::packaging
