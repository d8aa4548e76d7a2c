#include "comframe/module_state.h"

#include "comframe/class_table.h"

namespace vrpph::comframe {

namespace {
// Constant-initialised: ready before the loader calls DllMain, and nothing
// to destroy after it detaches us.
constinit ModuleState g_module;
}  // namespace

ModuleState& Module() { return g_module; }

void ModuleState::Attach(HINSTANCE instance) {
  instance_ = instance;
  classTable_ = ClassTableRows();
  locks_ = 0;
  typeInfoLock_.Initialize();
  classTableLock_.Initialize();
}

void ModuleState::Detach(bool processTerminating) {
  if (!processTerminating) ReleaseClassObjects(*this);
  typeInfoLock_.Delete();
  classTableLock_.Delete();
  if (processTerminating) {
    exitCleanups_.Discard();
  } else {
    exitCleanups_.RunAll();
  }
}

HRESULT ModuleState::AddExitCleanup(ExitCleanups::Cleanup cleanup, std::uintptr_t data) {
  SectionLock<ModuleSection> hold(typeInfoLock_);
  return exitCleanups_.Add(cleanup, data);
}

}  // namespace vrpph::comframe
