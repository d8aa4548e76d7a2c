// The calling thread's key-state table.
#pragma once

#include <array>
#include <cstdint>

namespace vrpph::platform {

using KeyStateTable = std::array<std::uint8_t, 256>;

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // GetKeyboardState: one byte per virtual-key code, bit 0x80 set while down.
  virtual void GetKeyState(KeyStateTable& table) const = 0;
};

}  // namespace vrpph::platform
