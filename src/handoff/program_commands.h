// Every start of the download manager with a switch, and the command lines
// they use.
#pragma once

#include <string>

#include "platform/desktop.h"
#include "platform/platform.h"

namespace vrpph {

// "\"<path>\" /Invisible": the interception's start, no length limit.
std::string InvisibleStartCommandLine(const std::string& programPath);
// "\"<path>\" /UnInstall": quoted, so a path with blanks names one file.
std::string UninstallCommandLine(const std::string& programPath);

// Each locates the program first and does nothing when it is not found;
// the start's result is not looked at.
// "/About" with `owner` as the shell's owner window, shown.
void ShowProgramAbout(platform::Platform& platform, platform::WindowHandle owner);
// " /Options", no owner, shown normally. True when the program was located
// (whatever the start did), so the prompt knows to wait for its window.
bool ShowProgramOptions(platform::Platform& platform);
// The uninstaller through WinExec, shown.
void RunProgramUninstaller(platform::Platform& platform);

}  // namespace vrpph
