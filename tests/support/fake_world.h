// The fakes of the registry and text seams, bundled for typed suites.
#pragma once

#include "support/fake_registry.h"
#include "support/fake_text.h"

namespace vrpph::testing {

struct FakeWorld {
  FakeRegistry registry;
  FakeText text;
};

}  // namespace vrpph::testing
