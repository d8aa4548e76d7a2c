// Other programs' windows and the user's message boxes on the real desktop.
#pragma once

#include "platform/desktop.h"

namespace vrpph::platform {

class Win32Desktop final : public Desktop {
 public:
  WindowHandle ForegroundWindow() const override;
  bool SetForegroundWindow(WindowHandle window) override;
  WindowHandle FindTopLevelWindow(const char* windowClass, const char* title) const override;
  void EnumTopLevelWindows(const WindowVisitor& visit) const override;
  void EnumChildWindows(WindowHandle parent, const WindowVisitor& visit) const override;
  std::string ClassName(WindowHandle window) const override;
  WindowHandle Parent(WindowHandle window) const override;
  std::string WindowText(WindowHandle window) override;
  std::optional<std::intptr_t> SendCopyData(WindowHandle window, std::uintptr_t dwData, const void* data,
                                            std::uint32_t size, std::uint32_t timeoutMs) override;
  int ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                 std::uint32_t style) override;
};

}  // namespace vrpph::platform
