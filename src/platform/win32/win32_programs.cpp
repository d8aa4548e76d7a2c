#include "platform/win32/win32_programs.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/win32/handles.h"

namespace vrpph::platform {
namespace {

// CreateProcessA may write into its command line, so it gets its own
// terminated copy, as long as the text needs.
std::vector<char> WritableCopy(const std::string& text) {
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  return copy;
}

}  // namespace

bool Win32Programs::StartAndWaitForIdle(const std::string& commandLine, std::uint32_t idleTimeoutMs) {
  std::vector<char> line = WritableCopy(commandLine);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  thread.reset();
  WaitForInputIdle(process.get(), idleTimeoutMs);
  return true;
}

void Win32Programs::OpenWithShell(WindowHandle owner, const char* verb, const std::string& file,
                                 const char* parameters, int showCommand) {
  ShellExecuteA(reinterpret_cast<HWND>(owner), verb, file.c_str(), parameters, nullptr, showCommand);
}

void Win32Programs::WinExec(const std::string& commandLine, int showCommand) {
  ::WinExec(commandLine.c_str(), static_cast<UINT>(showCommand));
}

}  // namespace vrpph::platform
