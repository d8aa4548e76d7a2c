// Starting other programs.
#pragma once

#include <cstdint>
#include <string>

#include "platform/desktop.h"

namespace vrpph::platform {

namespace show {
constexpr int Normal = 1;  // SW_SHOWNORMAL
constexpr int Show = 5;    // SW_SHOW
}  // namespace show

class Programs {
 public:
  virtual ~Programs() = default;
  // CreateProcessA with no application name, no inheritance,
  // NORMAL_PRIORITY_CLASS and a zeroed STARTUPINFOA; on success closes the
  // thread handle, waits for input idle at most `idleTimeoutMs` and closes the
  // process handle. False when the start failed.
  virtual bool StartAndWaitForIdle(const std::string& commandLine, std::uint32_t idleTimeoutMs) = 0;
  // ShellExecuteA; the result is not looked at by any caller.
  virtual void OpenWithShell(WindowHandle owner, const char* verb, const std::string& file,
                            const char* parameters, int showCommand) = 0;
  // WinExec; the result is not looked at by any caller.
  virtual void WinExec(const std::string& commandLine, int showCommand) = 0;
};

}  // namespace vrpph::platform
