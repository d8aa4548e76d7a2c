// Real waiting.
#pragma once

#include "platform/clock.h"

namespace vrpph::platform {

class Win32Clock final : public Clock {
 public:
  void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace vrpph::platform
