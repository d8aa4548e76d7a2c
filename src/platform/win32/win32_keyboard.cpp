#include "platform/win32/win32_keyboard.h"

#include <windows.h>

namespace vrpph::platform {

void Win32Keyboard::GetKeyState(KeyStateTable& table) const {
  // A failed read counts as no key held down.
  if (!GetKeyboardState(table.data())) table.fill(0);
}

}  // namespace vrpph::platform
