// vrpph-bridge.exe as a browser runs it: started with the caller's origin,
// its standard input and output on pipes; messages written as frames and
// the answers read back byte for byte.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/win32/handles.h"

namespace vrpph::wine_tests {

// Full path of vrpph-bridge.exe beside this test program.
std::string BridgeProgramPath();

// A frame: the 4-byte little-endian length, then `payload`; written out by
// hand, so the host's own framing is what is tested.
std::string Framed(const std::string& payload);

class BridgeProcess {
 public:
  // Starts `program` (the built host unless given) with `arguments`.
  explicit BridgeProcess(const std::string& arguments = "chrome-extension://bojnomdfpppnenooliehgpnkfejjnfdd/",
                         const std::string& program = BridgeProgramPath());
  BridgeProcess(const BridgeProcess&) = delete;
  BridgeProcess& operator=(const BridgeProcess&) = delete;
  // Closes the input and ends the program if it has not ended within 10 s.
  ~BridgeProcess();

  [[nodiscard]] bool started() const { return static_cast<bool>(process_); }
  [[nodiscard]] DWORD processId() const { return processId_; }

  // Raw bytes to the host's input.
  bool Write(const std::string& bytes);
  bool Send(const std::string& message) { return Write(Framed(message)); }
  // The end of input, as when the browser closes the port.
  void CloseInput();

  // The next answer's payload, waited for up to `timeoutMs`; none when no
  // whole frame came.
  std::optional<std::string> Receive(DWORD timeoutMs = 15000);
  // Every byte the host wrote so far, and all it writes until it ends.
  std::string OutputUntilExit(DWORD timeoutMs);
  // The exit code once the program has ended within `timeoutMs`.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs);

 private:
  void ReadOutput();

  platform::UniqueHandle process_;
  DWORD processId_ = 0;
  platform::UniqueHandle input_;
  platform::UniqueHandle output_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string received_;
  bool outputEnded_ = false;
  std::thread reader_;
};

}  // namespace vrpph::wine_tests
