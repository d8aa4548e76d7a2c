// The few values the DLL keeps for as long as it is loaded.
#pragma once

#include <windows.h>

#include <atomic>

namespace vrpph::comframe {

class ModuleState {
 public:
  ModuleState() = default;
  ModuleState(const ModuleState&) = delete;
  ModuleState& operator=(const ModuleState&) = delete;

  void Attach(HINSTANCE instance) { instance_ = instance; }
  [[nodiscard]] HINSTANCE Instance() const { return instance_; }

  // Every live object, client hold on a class object and LockServer(TRUE)
  // keeps the DLL loaded; any thread may change the count.
  void Lock() { ++locks_; }
  void Unlock() { --locks_; }
  [[nodiscard]] bool CanUnload() const { return locks_.load() == 0; }

 private:
  HINSTANCE instance_ = nullptr;
  std::atomic<long> locks_{0};
};

// The one instance, filled in when the loader attaches the DLL.
ModuleState& Module();

}  // namespace vrpph::comframe
