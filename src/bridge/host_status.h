// What the host finds around it when asked for its status: Trevalon, the
// handler module's registration and whether anything is caught at all.
// Read only: a status request changes nothing it looks at.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vrpph::bridge {

struct HostStatus {
  std::string version;
  bool programFound = false;  // a path to Trevalon's program is known
  bool windowFound = false;   // its main window is there, as the delivery looks for it
  // HTTPPlugProt's InprocServer32 key in the 32-bit and the 64-bit view.
  bool registered32 = false;
  bool registered64 = false;
  bool noTypes = false;     // AcceptingTypes absent or without an entry
  bool useCtrlAlt = false;  // UseCtrlAlt exactly "TRUE": only forced downloads
};

HostStatus ReadHostStatus(platform::Platform& platform, std::string version);

// The entries of a stored AcceptingTypes, as stored; none when it is absent.
std::vector<std::string> AcceptingTypeEntries(const std::optional<std::string>& list);

}  // namespace vrpph::bridge
