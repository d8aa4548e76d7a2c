// vrpph-bridge.exe: the native messaging host that hands a browser
// extension's downloads to Trevalon with the module's own rules, prompt and
// record; also registers itself with the browsers (--register,
// --unregister).
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bridge/bridge_session.h"
#include "bridge/host_command_line.h"
#include "bridge/host_registration.h"
#include "platform/no_throw.h"
#include "platform/win32/win32_platform.h"
#include "prompt/win32/module_prompt.h"
#include "stdio_streams.h"
#include "version.h"
#include "win32_bridge_host.h"
#include "win32_manifest_files.h"

namespace {

using namespace vrpph;
using namespace vrpph::bridge;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;

std::vector<std::string> Arguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(ToUtf8(words[i]));
  LocalFree(words);
  return arguments;
}

int Register(const HostCommand& command) {
  const std::wstring program = ProgramPath();
  if (program.empty()) return kExitFailed;
  platform::Win32Registry registry;
  Win32ManifestFiles files(FolderOf(program));
  const bool done = command.mode == HostMode::Register
                        ? RegisterHost(registry, files, ToUtf8(program), command.callers)
                        : UnregisterHost(registry, files);
  std::fprintf(done ? stdout : stderr, "%s %s\n", kHostName,
               command.mode == HostMode::Register ? (done ? "registered" : "could not be registered")
                                                  : (done ? "unregistered" : "could not be unregistered fully"));
  return done ? kExitOk : kExitFailed;
}

int Serve(const HostCommand& command) {
  UseBinaryStdio();
  platform::Win32Platform platform;
  // The prompt's dialog, picture and manifest are this program's resources.
  ModulePrompt prompt(GetModuleHandleW(nullptr), platform.platform);
  QuittablePromptDialog dialog(prompt.dialog);
  Win32BridgeHost host(platform.platform, dialog, command.parentWindow, VRPPH_VERSION_DOTTED);
  StdinSource input;
  StdoutSink output;
  BridgeSession session(output, host);
  return session.Run(input) == SessionEnd::InputEnded ? kExitOk : kExitFailed;
}

int Run() {
  const HostCommand command = ParseHostCommand(Arguments());
  if (command.mode != HostMode::Serve) return Register(command);
  return Serve(command);
}

}  // namespace

int main() { return vrpph::NoThrow(kExitFailed, Run); }
