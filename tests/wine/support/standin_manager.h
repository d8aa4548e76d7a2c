// The stand-in download manager as a test's peer: a private copy of TQP.exe
// in a folder whose name has blanks, its configuration, its log, and the end
// of every process started from that copy when the test is over.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vrpph::wine_tests {

constexpr const char* kManagerClass = "{B966C3C5-9030-46FC-B930-1E1603701D5C}";

struct ManagerLogEntry {
  std::string kind;
  std::uintptr_t number = 0;
  std::string bytes;
};

class StandInManager {
 public:
  // Claims `claimedUrls`, and every URL that starts with one of `claimedPrefixes`.
  explicit StandInManager(const std::vector<std::string>& claimedUrls = {},
                          const std::vector<std::string>& claimedPrefixes = {});
  StandInManager(const StandInManager&) = delete;
  StandInManager& operator=(const StandInManager&) = delete;
  // Ends every process running this copy, then removes the folder.
  ~StandInManager();

  // The copy's full path, e.g. "...\Temp\vrpph stand-in 42\TQP.EXE".
  [[nodiscard]] const std::string& ProgramPath() const { return programPath_; }
  // Starts the copy with `tail` after its quoted path; false when it cannot.
  bool Launch(const std::string& tail);
  // A top-level window of the manager's class and `title` (any title when
  // null), waited for up to `timeoutMs`.
  static HWND WaitForWindow(const char* windowClass, const char* title, DWORD timeoutMs);
  // Waits until the log holds at least `count` entries of `kind`.
  std::vector<ManagerLogEntry> WaitForEntries(const std::string& kind, std::size_t count, DWORD timeoutMs) const;
  [[nodiscard]] std::vector<ManagerLogEntry> ReadLog() const;
  [[nodiscard]] std::vector<ManagerLogEntry> Entries(const std::string& kind) const;
  // Ends every process running this copy; how many there were.
  int StopAll() const;

 private:
  std::string folder_;
  std::string programPath_;
  std::string logPath_;
};

}  // namespace vrpph::wine_tests
