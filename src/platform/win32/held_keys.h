// Holds exactly the given keys down in the calling thread's key table (the
// table a handler reads during a click) and puts the old table back when it
// goes.
#pragma once

#include <windows.h>

#include <vector>

namespace vrpph::platform {

class HeldKeys {
 public:
  explicit HeldKeys(const std::vector<BYTE>& codes = {}) {
    saved_ = GetKeyboardState(before_) != FALSE;
    Hold(codes);
  }
  HeldKeys(const HeldKeys&) = delete;
  HeldKeys& operator=(const HeldKeys&) = delete;
  ~HeldKeys() {
    if (!saved_) Hold({});
    if (saved_) SetKeyboardState(before_);
  }

  // From now on exactly `codes` are down.
  void Hold(const std::vector<BYTE>& codes) {
    BYTE table[256] = {};
    for (BYTE code : codes) table[code] = 0x80;
    SetKeyboardState(table);
  }

 private:
  BYTE before_[256] = {};
  bool saved_ = false;
};

}  // namespace vrpph::platform
