// File-system questions the module asks.
#pragma once

#include <string>

namespace vrpph::platform {

class Files {
 public:
  virtual ~Files() = default;
  // GetFileAttributesA succeeds: a file or a directory of that name exists.
  virtual bool Exists(const std::string& path) const = 0;
};

}  // namespace vrpph::platform
