// The few values the DLL keeps for as long as it is loaded.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "comframe/critical_section.h"
#include "comframe/exit_cleanups.h"
#include "comframe/type_info_cache.h"
#include "core/outcomes.h"
#include "vrpph_idl.h"

namespace vrpph::comframe {

struct ClassTableEntry;

class ModuleState {
 public:
  constexpr ModuleState() = default;
  ModuleState(const ModuleState&) = delete;
  ModuleState& operator=(const ModuleState&) = delete;

  // Process attach: the instance the loader gives, the class table, the two
  // locks; nothing locked and nothing to clean up yet.
  void Attach(HINSTANCE instance);
  // Process detach. While the process is ending, other DLLs may already be
  // gone: then no COM object is released and no cleanup runs.
  void Detach(bool processTerminating);

  // The DLL's own instance, whatever its file is called.
  [[nodiscard]] HINSTANCE Instance() const { return instance_; }

  // Every live object, client hold on a class object and LockServer(TRUE)
  // keeps the DLL loaded; any thread may change the count.
  void Lock() { ++locks_; }
  void Unlock() { --locks_; }
  [[nodiscard]] bool CanUnload() const { return locks_.load() == 0; }

  // The creatable classes, ended by a row without a class id.
  [[nodiscard]] ClassTableEntry* ClassTable() const { return classTable_; }
  ModuleSection& ClassTableLock() { return classTableLock_; }
  // Guards the loading of type information and the exit cleanups.
  ModuleSection& TypeInfoLock() { return typeInfoLock_; }
  HRESULT AddExitCleanup(ExitCleanups::Cleanup cleanup, std::uintptr_t data);

  // PromptOpenMode: the open/save mode the last prompt applied, 0 open and
  // 1 save. Each prompt also returns its own mode to its caller, so a prompt
  // on another thread never changes the mode a caller acts on.
  std::atomic<OpenMode>& PromptOpenMode() { return promptOpenMode_; }

  TypeInfoCache& PlugProtTypeInfo() { return plugProtTypeInfo_; }
  TypeInfoCache& ApiTypeInfo() { return apiTypeInfo_; }

 private:
  HINSTANCE instance_ = nullptr;
  ClassTableEntry* classTable_ = nullptr;
  std::atomic<long> locks_{0};
  ModuleSection typeInfoLock_;
  ModuleSection classTableLock_;
  ExitCleanups exitCleanups_;
  std::atomic<OpenMode> promptOpenMode_{OpenMode::Open};
  TypeInfoCache plugProtTypeInfo_{IID_IHTTPPlugProt, LIBID_VRPPHLib, 1, 0};
  TypeInfoCache apiTypeInfo_{IID_IAPI, LIBID_VRPPHLib, 1, 0};
};

// The one instance, filled in when the loader attaches the DLL.
ModuleState& Module();

}  // namespace vrpph::comframe
