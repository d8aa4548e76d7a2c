// Windows of other programs and the user's message boxes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vrpph::platform {

using WindowHandle = std::uintptr_t;

namespace message_box {
constexpr std::uint32_t Ok = 0x00;
constexpr std::uint32_t YesNo = 0x04;
constexpr std::uint32_t IconQuestion = 0x20;
constexpr int IdOk = 1;
constexpr int IdYes = 6;
constexpr int IdNo = 7;
}  // namespace message_box

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Enumeration callbacks return false to stop.
  using WindowVisitor = std::function<bool(WindowHandle)>;

  virtual WindowHandle ForegroundWindow() const = 0;
  virtual bool SetForegroundWindow(WindowHandle window) = 0;
  // FindWindowA; a null title matches any title.
  virtual WindowHandle FindTopLevelWindow(const char* windowClass, const char* title) const = 0;
  virtual void EnumTopLevelWindows(const WindowVisitor& visit) const = 0;
  virtual void EnumChildWindows(WindowHandle parent, const WindowVisitor& visit) const = 0;
  // GetClassNameA into a 256-byte buffer: at most 255 bytes.
  virtual std::string ClassName(WindowHandle window) const = 0;
  virtual WindowHandle Parent(WindowHandle window) const = 0;
  // WM_GETTEXTLENGTH, then WM_GETTEXT into that many bytes plus one.
  virtual std::string WindowText(WindowHandle window) = 0;
  // WM_COPYDATA with wParam 0, sent with SendMessageTimeoutA and
  // SMTO_ABORTIFHUNG: the reply, or none when the send failed or timed out.
  virtual std::optional<std::intptr_t> SendCopyData(WindowHandle window, std::uintptr_t dwData,
                                                    const void* data, std::uint32_t size,
                                                    std::uint32_t timeoutMs) = 0;
  // MessageBoxA; the button pressed.
  virtual int ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                         std::uint32_t style) = 0;
};

}  // namespace vrpph::platform
