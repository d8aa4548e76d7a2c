#include "wine/support/bridge_process.h"

#include <vector>

#include "platform/win32/module_file.h"

namespace vrpph::wine_tests {

std::string BridgeProgramPath() {
  std::string path = platform::ModuleFileNameA(nullptr).value_or("");
  path.erase(path.find_last_of("\\/") + 1);
  return path + "vrpph-bridge.exe";
}

std::string Framed(const std::string& payload) {
  const auto length = static_cast<std::uint32_t>(payload.size());
  std::string frame{static_cast<char>(length & 0xFF), static_cast<char>(length >> 8 & 0xFF),
                    static_cast<char>(length >> 16 & 0xFF), static_cast<char>(length >> 24 & 0xFF)};
  return frame + payload;
}

BridgeProcess::BridgeProcess(const std::string& arguments, const std::string& program) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE childInput = nullptr, childOutput = nullptr, input = nullptr, output = nullptr;
  if (!CreatePipe(&childInput, &input, &inherit, 0)) return;
  platform::UniqueHandle ownedChildInput(childInput);
  input_.reset(input);
  if (!CreatePipe(&output, &childOutput, &inherit, 0)) return;
  platform::UniqueHandle ownedChildOutput(childOutput);
  output_.reset(output);
  SetHandleInformation(input, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);

  std::string line = "\"" + program + "\" " + arguments;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childInput;
  startup.hStdOutput = childOutput;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) return;
  process_.reset(info.hProcess);
  platform::UniqueHandle thread(info.hThread);
  processId_ = info.dwProcessId;
  reader_ = std::thread([this] { ReadOutput(); });
}

BridgeProcess::~BridgeProcess() {
  CloseInput();
  if (process_ && WaitForSingleObject(process_.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(process_.get(), 99);
  if (reader_.joinable()) reader_.join();
}

bool BridgeProcess::Write(const std::string& bytes) {
  std::size_t at = 0;
  while (input_ && at < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 65536));
    if (!WriteFile(input_.get(), bytes.data() + at, chunk, &written, nullptr)) return false;
    at += written;
  }
  return at == bytes.size();
}

void BridgeProcess::CloseInput() { input_.reset(); }

void BridgeProcess::ReadOutput() {
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(output_.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    std::lock_guard lock(mutex_);
    received_.append(buffer, read);
    changed_.notify_all();
  }
  std::lock_guard lock(mutex_);
  outputEnded_ = true;
  changed_.notify_all();
}

std::optional<std::string> BridgeProcess::Receive(DWORD timeoutMs) {
  std::unique_lock lock(mutex_);
  const auto whole = [this] {
    if (received_.size() < 4) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(received_.data());
    const std::size_t length = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::size_t>(bytes[3]) << 24;
    return received_.size() >= 4 + length;
  };
  if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return whole() || outputEnded_; }) ||
      !whole()) {
    return std::nullopt;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(received_.data());
  const std::size_t length = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::size_t>(bytes[3]) << 24;
  std::string payload = received_.substr(4, length);
  received_.erase(0, 4 + length);
  return payload;
}

std::string BridgeProcess::OutputUntilExit(DWORD timeoutMs) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return outputEnded_; });
  return std::exchange(received_, std::string());
}

std::optional<DWORD> BridgeProcess::WaitForExit(DWORD timeoutMs) {
  if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

}  // namespace vrpph::wine_tests
