// The calling thread's key states from the window manager.
#pragma once

#include "platform/keyboard.h"

namespace vrpph::platform {

class Win32Keyboard final : public Keyboard {
 public:
  void GetKeyState(KeyStateTable& table) const override;
};

}  // namespace vrpph::platform
