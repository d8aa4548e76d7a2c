// The settings and the keyboard a navigation sees, set up for real: the
// download manager's keys in Wine's registry, and this thread's key states.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/win32/held_keys.h"
#include "platform/win32/win32_registry.h"
#include "settings/contact_points.h"
#include "support/registry_tools.h"

namespace vrpph::wine_tests {

// Clears the download manager's keys now and when it goes.
class SeededSettings {
 public:
  SeededSettings() { Clear(); }
  SeededSettings(const SeededSettings&) = delete;
  SeededSettings& operator=(const SeededSettings&) = delete;
  ~SeededSettings() { Clear(); }

  void Main(const char* name, const std::string& text) {
    testing::SetString(registry, platform::root::CurrentUser, keys::Main, name, text);
  }
  void MainBytes(const char* name, const std::vector<std::uint8_t>& bytes) {
    testing::SetValue(registry, platform::root::CurrentUser, keys::Main, name, platform::value_type::Binary, bytes);
  }

  platform::Win32Registry registry;

 private:
  void Clear() {
    testing::DeleteTree(registry, platform::root::CurrentUser, "Software\\Quorvane");
    testing::DeleteTree(registry, platform::root::LocalMachine, keys::Uninstall);
  }
};

using platform::HeldKeys;

}  // namespace vrpph::wine_tests
