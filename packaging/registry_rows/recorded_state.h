// What a registration left in the recording registry (tests/support), as the
// rows of a registry state: portable, so that what is learnt from it is
// tested natively too.
#pragma once

#include "registry_rows/registry_state.h"
#include "support/fake_registry.h"

namespace vrpph::packaging {

// The recording registry's contents below HKCR, HKCU and HKLM.
RegistryState RecordedState(const testing::FakeRegistry& registry);

}  // namespace vrpph::packaging
