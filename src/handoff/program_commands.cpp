#include "handoff/program_commands.h"

#include "handoff/program_locator.h"
#include "settings/contact_points.h"

namespace vrpph {
namespace {

constexpr const char* kOpenVerb = "open";

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

std::string InvisibleStartCommandLine(const std::string& programPath) {
  return Quoted(programPath) + " " + switches::Invisible;
}

std::string UninstallCommandLine(const std::string& programPath) {
  return Quoted(programPath) + switches::Uninstall;
}

void ShowProgramAbout(platform::Platform& platform, platform::WindowHandle owner) {
  auto path = LocateProgram(platform.registry);
  if (!path) return;
  platform.programs.OpenWithShell(owner, kOpenVerb, *path, switches::About, platform::show::Show);
}

bool ShowProgramOptions(platform::Platform& platform) {
  auto path = LocateProgram(platform.registry);
  if (!path) return false;
  platform.programs.OpenWithShell(0, kOpenVerb, *path, switches::Options, platform::show::Normal);
  return true;
}

void RunProgramUninstaller(platform::Platform& platform) {
  auto path = LocateProgram(platform.registry);
  if (!path) return;
  platform.programs.WinExec(UninstallCommandLine(*path), platform::show::Show);
}

}  // namespace vrpph
