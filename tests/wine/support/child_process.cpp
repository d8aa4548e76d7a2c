#include "wine/support/child_process.h"

#include <algorithm>
#include <cstdio>

#include "platform/win32/handles.h"

namespace vrpph::wine_tests {
namespace {

using Handle = platform::UniqueHandle;

struct DialogSearch {
  DWORD process;
  std::vector<HWND> found;
};

BOOL CALLBACK FindDialogs(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<DialogSearch*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char windowClass[16] = {};
  GetClassNameA(window, windowClass, sizeof windowClass);
  if (process == search->process && lstrcmpA(windowClass, "#32770") == 0) search->found.push_back(window);
  return TRUE;
}

void CloseDialogs(DWORD process, std::vector<HWND>& closed, std::vector<std::string>& captions) {
  DialogSearch search{process, {}};
  EnumWindows(FindDialogs, reinterpret_cast<LPARAM>(&search));
  for (HWND dialog : search.found) {
    if (std::find(closed.begin(), closed.end(), dialog) != closed.end()) continue;
    closed.push_back(dialog);
    char caption[256] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    captions.emplace_back(caption);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
}

void Drain(HANDLE pipe, std::string& output) {
  DWORD available = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    char buffer[512];
    DWORD read = 0;
    if (!ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &read, nullptr) || read == 0) return;
    output.append(buffer, read);
  }
}

}  // namespace

ChildRun RunChild(const std::string& commandLine, DWORD timeoutMs) {
  ChildRun run;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  Handle readEnd, writeEnd;
  if (!CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0)) {
    run.output = "could not make a pipe: error " + std::to_string(GetLastError());
    return run;
  }
  SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd.get();
  startup.hStdError = writeEnd.get();
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  PROCESS_INFORMATION info{};
  // Wine now and then refuses a start that succeeds a moment later; what is
  // under test is the child, not Wine's process creation, so try again a few
  // times and say so.
  for (int attempt = 1; !CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &info);
       ++attempt) {
    const DWORD error = GetLastError();
    std::fprintf(stderr, "could not start `%s` (attempt %d): error %lu\n", commandLine.c_str(), attempt,
                 static_cast<unsigned long>(error));
    if (attempt == 3) {
      run.output = "could not start: error " + std::to_string(error);
      return run;
    }
    Sleep(200);
  }
  run.started = true;
  Handle process(info.hProcess);
  Handle thread(info.hThread);
  writeEnd.reset();

  std::vector<HWND> closed;
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (WaitForSingleObject(process.get(), 50) == WAIT_TIMEOUT) {
    Drain(readEnd.get(), run.output);
    CloseDialogs(info.dwProcessId, closed, run.dialogs);
    if (GetTickCount64() >= end) {
      TerminateProcess(process.get(), 1);
      WaitForSingleObject(process.get(), 5000);
      Drain(readEnd.get(), run.output);
      return run;
    }
  }
  Drain(readEnd.get(), run.output);
  run.finished = true;
  GetExitCodeProcess(process.get(), &run.exitCode);
  return run;
}

}  // namespace vrpph::wine_tests
