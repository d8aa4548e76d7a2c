// A program the test starts and waits for, with its standard output
// captured. A dialog it raises is closed with Cancel and reported, and a
// program that outlives its time is ended, so no test waits for ever.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vrpph::wine_tests {

struct ChildRun {
  bool started = false;
  bool finished = false;  // false: ended after the timeout
  DWORD exitCode = 0;
  std::string output;
  // Captions of the dialogs it raised.
  std::vector<std::string> dialogs;
};

ChildRun RunChild(const std::string& commandLine, DWORD timeoutMs);

// `text` in double quotes, for a command line.
inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace vrpph::wine_tests
