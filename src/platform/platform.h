// Everything the portable logic reaches in the outside world, passed in.
#pragma once

#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/keyboard.h"
#include "platform/programs.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace vrpph::platform {

struct Platform {
  Registry& registry;
  Text& text;
  Keyboard& keyboard;
  Desktop& desktop;
  Programs& programs;
  Clock& clock;
  Files& files;
};

}  // namespace vrpph::platform
