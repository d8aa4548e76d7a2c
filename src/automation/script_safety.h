// What a browser tells the automation object about who calls it, through
// IObjectSafety. Once told that its caller may be untrusted (a web page),
// the object keeps to what a page may do for the rest of its life: no page
// chooses where a file lands or starts the uninstaller. One set of options
// per object, read and written atomically: the class is registered for both
// threading models.
#pragma once

#include <atomic>
#include <cstdint>

namespace vrpph {

class ScriptSafety {
 public:
  // INTERFACESAFE_FOR_UNTRUSTED_CALLER and _FOR_UNTRUSTED_DATA.
  static constexpr std::uint32_t UntrustedCaller = 0x1;
  static constexpr std::uint32_t UntrustedData = 0x2;
  static constexpr std::uint32_t Supported = UntrustedCaller | UntrustedData;

  [[nodiscard]] std::uint32_t Enabled() const { return enabled_.load(); }

  // The bits of `enabled` within `mask` become the enabled options; false
  // (and nothing changes) when `mask` holds a bit this object does not know.
  bool Set(std::uint32_t mask, std::uint32_t enabled) {
    if (mask & ~Supported) return false;
    std::uint32_t now = enabled_.load();
    while (!enabled_.compare_exchange_weak(now, (now & ~mask) | (enabled & mask))) {
    }
    if (enabled & mask & UntrustedCaller) restricted_.store(true);
    return true;
  }

  // True once UntrustedCaller has been enabled, even if cleared since.
  [[nodiscard]] bool Restricted() const { return restricted_.load(); }

 private:
  std::atomic<std::uint32_t> enabled_{0};
  std::atomic<bool> restricted_{false};
};

}  // namespace vrpph
