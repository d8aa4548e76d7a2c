#include "platform/win32/win32_clock.h"

#include <windows.h>

namespace vrpph::platform {

void Win32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace vrpph::platform
