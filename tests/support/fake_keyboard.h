// A key-state table that tests set by hand.
#pragma once

#include <initializer_list>

#include "platform/keyboard.h"

namespace vrpph::testing {

class FakeKeyboard : public platform::Keyboard {
 public:
  void GetKeyState(platform::KeyStateTable& table) const override {
    table = table_;
    ++snapshots_;
  }
  // Exactly these keys down; every other entry clear.
  void Hold(std::initializer_list<unsigned> codes) {
    table_.fill(0);
    for (unsigned code : codes) table_[code & 0xFF] = 0x80;
  }
  void SetEntry(unsigned code, std::uint8_t state) { table_[code & 0xFF] = state; }
  int SnapshotCount() const { return snapshots_; }

 private:
  platform::KeyStateTable table_{};
  mutable int snapshots_ = 0;
};

}  // namespace vrpph::testing
