// The shared seam cases against Wine's real registry and wininet, and again
// against the fakes in the same process, so both worlds answer alike.
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_text.h"
#include "support/fake_world.h"
#include "support/platform_parity_cases.h"

namespace vrpph::testing {

struct Win32World {
  platform::Win32Registry registry;
  platform::Win32Text text;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, PlatformParity, Win32World);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, PlatformParity, FakeWorld);

}  // namespace vrpph::testing
