#include "sequence/window_probes.h"

#include "settings/contact_points.h"

namespace vrpph {

namespace {

// The browser's own window classes, tested as substrings.
constexpr const char* kBrowserFrameClass = "IEFrame";
constexpr const char* kEditClass = "Edit";
constexpr const char* kComboBoxClass = "ComboBox";

bool ClassHolds(const platform::Desktop& desktop, platform::WindowHandle window, const char* part) {
  return desktop.ClassName(window).find(part) != std::string::npos;
}

}  // namespace

bool ManagerClaimsUrl(platform::Desktop& desktop, const std::string& url) {
  bool claimed = false;
  desktop.EnumTopLevelWindows([&](platform::WindowHandle window) {
    if (!ClassHolds(desktop, window, manager::WindowClass)) return true;
    auto reply = desktop.SendCopyData(window, manager::ClaimQueryTag, url.data(),
                                      static_cast<std::uint32_t>(url.size()), kClaimQueryTimeoutMs);
    claimed = reply && *reply == manager::ClaimedReply;
    return !claimed;
  });
  return claimed;
}

std::optional<std::string> AddressBarText(platform::Desktop& desktop) {
  platform::WindowHandle front = desktop.ForegroundWindow();
  if (front == 0 || !ClassHolds(desktop, front, kBrowserFrameClass)) return std::nullopt;
  std::optional<std::string> text;
  desktop.EnumChildWindows(front, [&](platform::WindowHandle child) {
    if (!ClassHolds(desktop, child, kEditClass)) return true;
    if (!ClassHolds(desktop, desktop.Parent(child), kComboBoxClass)) return true;
    text = desktop.WindowText(child);
    return false;
  });
  return text;
}

}  // namespace vrpph
