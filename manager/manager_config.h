// The stand-in's own configuration: a text file beside its executable, named
// after it with ".cfg" (TQP.cfg beside TQP.exe). The module starts the
// program with nothing but a switch, so nothing else can reach it.
//
//   log=C:\path\to\events.log     where events go (default: TQP.log beside the exe)
//   claim=http://host/file.zip    a URL the claim query answers 1 for (repeatable)
//   claim-prefix=http://host/     every URL that starts so is claimed (repeatable)
#pragma once

#include <string>
#include <vector>

namespace standin {

struct ManagerConfig {
  std::string logPath;
  std::vector<std::string> claimedUrls;
  std::vector<std::string> claimedPrefixes;
};

// The executable's own path without its extension.
std::string ExecutableStem();

// Missing file or lines: defaults. Lines are "key=value"; others are ignored.
ManagerConfig ReadManagerConfig(const std::string& stem);

}  // namespace standin
