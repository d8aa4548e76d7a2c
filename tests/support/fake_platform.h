// Every fake of the platform seam in one world, with one event log.
#pragma once

#include "platform/platform.h"
#include "support/event_log.h"
#include "support/fake_desktop.h"
#include "support/fake_keyboard.h"
#include "support/fake_registry.h"
#include "support/fake_system.h"
#include "support/fake_text.h"

namespace vrpph::testing {

struct FakePlatform {
  EventLog log;
  FakeRegistry registry;
  FakeText text;
  FakeKeyboard keyboard;
  FakeDesktop desktop{&log};
  FakePrograms programs{&log};
  FakeClock clock{&log};
  FakeFiles files;
  platform::Platform platform{registry, text, keyboard, desktop, programs, clock, files};
};

}  // namespace vrpph::testing
