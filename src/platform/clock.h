// Waiting, so that tests can run the module's long waits in no time.
#pragma once

#include <cstdint>

namespace vrpph::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace vrpph::platform
