// browser_host.exe beside this test program, started as its own process the
// way a user starts a browser, with a watcher that answers every dialog it
// raises; its report read back from its output.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "wine/support/modal_watcher.h"

namespace vrpph::wine_tests {

struct HostNavigation {
  std::string decision;  // taken, declined, answered or unanswered
  std::string result;    // Start's result, "0x00000001"
  std::string verb;      // GET or POST
  std::string keys;      // "keys=ctrl+alt"
  std::string url;
};

struct HostRun {
  bool finished = false;  // false: it was ended after the time limit
  DWORD exitCode = 0;
  std::string output;
  std::string errors;
  std::vector<std::string> handlerLines;
  std::uintptr_t frame = 0;  // the host's frame window
  std::vector<HostNavigation> navigations;
  std::vector<ModalWatcher::Answered> dialogs;  // answered in the host
};

// Runs the host with `arguments` (none may contain a double quote) and
// presses `dialogButton` in every dialog of the host meanwhile.
HostRun RunBrowserHost(const std::vector<std::string>& arguments, int dialogButton = IDOK, DWORD timeoutMs = 90000);

}  // namespace vrpph::wine_tests
