#include "comframe/module_state.h"

namespace vrpph::comframe {

namespace {
// Constant-initialised: ready before the loader calls DllMain, and nothing
// to destroy after it detaches us.
constinit ModuleState g_module;
}  // namespace

ModuleState& Module() { return g_module; }

}  // namespace vrpph::comframe
