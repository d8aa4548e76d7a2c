// The file system through its attributes.
#pragma once

#include "platform/files.h"

namespace vrpph::platform {

class Win32Files final : public Files {
 public:
  bool Exists(const std::string& path) const override;
};

}  // namespace vrpph::platform
