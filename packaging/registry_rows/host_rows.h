// The native messaging host's part of the package: the host's own
// registration, run against the recording registry with the installed folder
// where the program's stands. Its per-user keys become the same keys under
// HKLM, which every user's browsers read; its manifests name the program
// relatively, which both browser families resolve against the manifest's
// folder on Windows, so they hold no path of the machine they are made on.
#pragma once

#include <string>
#include <vector>

#include "registry_rows/package_rows.h"
#include "registry_rows/wix_rows.h"

namespace vrpph::packaging {

struct HostManifest {
  WixFile file;  // as the component carries it
  std::string contents;
};

struct HostPackage {
  std::vector<HostManifest> manifests;
  std::vector<PackageRow> rows;  // the 64-bit component's, under HKLM
};

// `programName`: the host's file name in the folder `directoryId` names.
// False, with `error` said, when the registration fails or writes what the
// package cannot carry: a row outside the user's own keys, or a key naming a
// file the registration did not write beside the program.
bool ReadHostRows(const std::string& programName, const std::string& directoryId, HostPackage* host,
                  std::string* error);

}  // namespace vrpph::packaging
