// What a registration left in the recording registry, as the rows of a
// registry state: portable, so that what is learnt from it is tested
// natively too.
#pragma once

#include "registry_rows/recording_registry.h"
#include "registry_rows/registry_state.h"

namespace vrpph::packaging {

// The recording registry's contents below HKCR, HKCU and HKLM.
RegistryState RecordedState(const RecordingRegistry& registry);

}  // namespace vrpph::packaging
