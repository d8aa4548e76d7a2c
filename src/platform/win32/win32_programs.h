// Starting the download manager for real.
#pragma once

#include "platform/programs.h"

namespace vrpph::platform {

class Win32Programs final : public Programs {
 public:
  bool StartAndWaitForIdle(const std::string& commandLine, std::uint32_t idleTimeoutMs) override;
  void OpenWithShell(WindowHandle owner, const char* verb, const std::string& file, const char* parameters,
                    int showCommand) override;
  void WinExec(const std::string& commandLine, int showCommand) override;
};

}  // namespace vrpph::platform
