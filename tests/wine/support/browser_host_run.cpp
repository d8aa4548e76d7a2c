#include "wine/support/browser_host_run.h"

#include <memory>
#include <optional>
#include <sstream>

#include "platform/win32/handles.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using platform::UniqueHandle;

std::string HostPath() {
  std::string path = VrpphDllPath();
  return path.substr(0, path.find_last_of("\\/") + 1) + "browser_host.exe";
}

// What is waiting in the pipe now, without blocking.
void Drain(HANDLE pipe, std::string& text) {
  char buffer[4096];
  DWORD available = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    DWORD read = 0;
    if (!ReadFile(pipe, buffer, sizeof buffer < available ? sizeof buffer : available, &read, nullptr) || !read) return;
    text.append(buffer, read);
  }
}

struct Pipe {
  UniqueHandle read;
  UniqueHandle write;  // inheritable, for the child
};

std::optional<Pipe> MakePipe() {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return std::nullopt;
  Pipe pipe{UniqueHandle(read), UniqueHandle(write)};
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  return pipe;
}

void Parse(HostRun& run) {
  std::istringstream lines(run.output);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream fields(line);
    std::string first;
    fields >> first;
    if (first == "handler") {
      run.handlerLines.push_back(line);
    } else if (first == "frame") {
      std::string handle;
      fields >> handle;
      run.frame = static_cast<std::uintptr_t>(std::stoul(handle, nullptr, 16));
    } else if (first == "taken" || first == "declined" || first == "answered" || first == "unanswered") {
      HostNavigation navigation{first, "", "", "", ""};
      fields >> navigation.result >> navigation.verb >> navigation.keys >> navigation.url;
      run.navigations.push_back(navigation);
    }
  }
}

}  // namespace

HostRun RunBrowserHost(const std::vector<std::string>& arguments, int dialogButton, DWORD timeoutMs) {
  HostRun run;
  std::string commandLine = "\"" + HostPath() + "\"";
  for (const auto& argument : arguments) commandLine += " \"" + argument + "\"";
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');

  auto output = MakePipe();
  auto errors = MakePipe();
  if (!output || !errors) return run;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output->write.get();
  startup.hStdError = errors->write.get();
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
    return run;
  }
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  // Only the child may hold the writing ends now, so that reading ends with it.
  output->write.reset();
  errors->write.reset();
  {
    ModalWatcher watcher(dialogButton, info.dwProcessId);
    // Read while waiting, not until the pipes close: a program the host
    // starts (the manager) inherits them under Wine and outlives the host.
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
      Drain(output->read.get(), run.output);
      Drain(errors->read.get(), run.errors);
      if (WaitForSingleObject(process.get(), 20) == WAIT_OBJECT_0) {
        run.finished = true;
        break;
      }
      if (GetTickCount64() >= end) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
        break;
      }
    }
    Drain(output->read.get(), run.output);
    Drain(errors->read.get(), run.errors);
    run.dialogs = watcher.answered();
  }
  GetExitCodeProcess(process.get(), &run.exitCode);
  Parse(run);
  return run;
}

}  // namespace vrpph::wine_tests
