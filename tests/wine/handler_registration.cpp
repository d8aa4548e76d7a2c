#include "handler_registration.h"

#include <windows.h>

#include <memory>
#include <type_traits>
#include <vector>

#include "vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

constexpr DWORD kRegsvr32TimeoutMs = 30000;
constexpr unsigned long kNotRun = 0xFFFFFFFF;

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// regsvr32 /s (silent, so no message box waits for a click) with `switches`.
unsigned long RunRegsvr32(const std::string& switches) {
  std::string line = "regsvr32.exe /s " + switches + "\"" + VrpphDllPath() + "\"";
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return kNotRun;
  }
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  if (WaitForSingleObject(process.get(), kRegsvr32TimeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), 1);
    return kNotRun;
  }
  DWORD code = kNotRun;
  GetExitCodeProcess(process.get(), &code);
  return code;
}

}  // namespace

HandlerRegistration::HandlerRegistration() : registerResult_(RunRegsvr32("")), registered_(true) {}

HandlerRegistration::~HandlerRegistration() { Remove(); }

unsigned long HandlerRegistration::Remove() {
  if (!registered_) return 0;
  registered_ = false;
  return RunRegsvr32("/u ");
}

std::string HandlerRegistration::RegisteredModule() {
  char path[MAX_PATH * 2] = {};
  LONG size = sizeof path;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, "CLSID\\{E131C96E-4DDB-11D4-84B8-008048B33DEA}\\InprocServer32", path,
                     &size) != ERROR_SUCCESS) {
    return "";
  }
  return path;
}

}  // namespace vrpph::wine_tests
