#include "support/fake_world.h"
#include "support/platform_parity_cases.h"

namespace vrpph::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, PlatformParity, FakeWorld);

}  // namespace vrpph::testing
