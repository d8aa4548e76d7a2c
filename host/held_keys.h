// Holds keys down in the calling thread's key table, the table a handler
// reads during the click, and puts the old table back when it goes.
#pragma once

#include <windows.h>

#include <vector>

namespace browser_host {

class HeldKeys {
 public:
  explicit HeldKeys(const std::vector<BYTE>& codes) {
    saved_ = GetKeyboardState(before_) != FALSE;
    BYTE table[256] = {};
    for (BYTE code : codes) table[code] = 0x80;
    SetKeyboardState(table);
  }
  HeldKeys(const HeldKeys&) = delete;
  HeldKeys& operator=(const HeldKeys&) = delete;
  ~HeldKeys() {
    if (saved_) {
      SetKeyboardState(before_);
    } else {
      BYTE none[256] = {};
      SetKeyboardState(none);
    }
  }

 private:
  BYTE before_[256] = {};
  bool saved_ = false;
};

}  // namespace browser_host
