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

  // PromptOpenMode: the open/save mode the last prompt applied, 0 open and
  // 1 save. Each prompt also returns its own mode to its caller, so a prompt
  // on another thread never changes the mode a caller acts on.
  std::atomic<int>& PromptOpenMode() { return promptOpenMode_; }

 private:
  HINSTANCE instance_ = nullptr;
  std::atomic<long> locks_{0};
  std::atomic<int> promptOpenMode_{0};
};

// The one instance, filled in when the loader attaches the DLL.
ModuleState& Module();

}  // namespace vrpph::comframe
