#include "platform/win32/win32_desktop.h"

#include <windows.h>

#include <vector>

#include "platform/no_throw.h"

namespace vrpph::platform {

namespace {

HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle Handle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

// The enumeration callback: nothing may unwind through the window manager,
// so a visitor that throws ends the enumeration.
BOOL CALLBACK Visit(HWND window, LPARAM visitor) {
  return NoThrow(FALSE, [&] {
    return (*reinterpret_cast<const Desktop::WindowVisitor*>(visitor))(Handle(window)) ? TRUE : FALSE;
  });
}

}  // namespace

WindowHandle Win32Desktop::ForegroundWindow() const { return Handle(GetForegroundWindow()); }

bool Win32Desktop::SetForegroundWindow(WindowHandle window) { return ::SetForegroundWindow(Hwnd(window)) != FALSE; }

WindowHandle Win32Desktop::FindTopLevelWindow(const char* windowClass, const char* title) const {
  return Handle(FindWindowA(windowClass, title));
}

void Win32Desktop::EnumTopLevelWindows(const WindowVisitor& visit) const {
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&visit));
}

void Win32Desktop::EnumChildWindows(WindowHandle parent, const WindowVisitor& visit) const {
  ::EnumChildWindows(Hwnd(parent), Visit, reinterpret_cast<LPARAM>(&visit));
}

std::string Win32Desktop::ClassName(WindowHandle window) const {
  char name[256] = {};
  int length = GetClassNameA(Hwnd(window), name, sizeof name);
  return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

WindowHandle Win32Desktop::Parent(WindowHandle window) const { return Handle(GetParent(Hwnd(window))); }

std::string Win32Desktop::WindowText(WindowHandle window) {
  LRESULT length = SendMessageA(Hwnd(window), WM_GETTEXTLENGTH, 0, 0);
  if (length < 0) length = 0;
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(Hwnd(window), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.back() = '\0';
  return std::string(text.data());
}

std::optional<std::intptr_t> Win32Desktop::SendCopyData(WindowHandle window, std::uintptr_t dwData,
                                                        const void* data, std::uint32_t size,
                                                        std::uint32_t timeoutMs) {
  COPYDATASTRUCT message{};
  message.dwData = dwData;
  message.cbData = size;
  message.lpData = const_cast<void*>(data);
  DWORD_PTR reply = 0;
  if (!SendMessageTimeoutA(Hwnd(window), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&message), SMTO_ABORTIFHUNG,
                           timeoutMs, &reply)) {
    return std::nullopt;
  }
  return static_cast<std::intptr_t>(reply);
}

int Win32Desktop::ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                             std::uint32_t style) {
  return MessageBoxA(Hwnd(owner), text.c_str(), caption.c_str(), style);
}

}  // namespace vrpph::platform
