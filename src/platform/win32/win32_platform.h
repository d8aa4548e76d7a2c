// Every seam on the real API, bundled: the platform the module itself runs
// on. The seams keep no state, so each call may build its own.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_programs.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_text.h"

namespace vrpph::platform {

struct Win32Platform {
  Win32Platform() = default;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Win32Registry registry;
  Win32Text text;
  Win32Keyboard keyboard;
  Win32Desktop desktop;
  Win32Programs programs;
  Win32Clock clock;
  Win32Files files;
  Platform platform{registry, text, keyboard, desktop, programs, clock, files};
};

}  // namespace vrpph::platform
