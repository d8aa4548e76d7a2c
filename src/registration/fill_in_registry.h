// A registry through which a register pass only fills in what is missing,
// in one registry view: nothing is deleted and no value is overwritten.
// Unregistering one of two modules (a 32-bit and a 64-bit one) runs its
// script's register pass through it into the other module's view, so that
// the keys both views share come back while that module still needs them,
// whichever keys the platform shares.
#pragma once

#include "registration/view_registry.h"

namespace vrpph {

class FillInRegistry : public ViewRegistry {
 public:
  using ViewRegistry::ViewRegistry;

  // Writes only a value the key does not hold yet; a value already there
  // counts as written.
  long SetValue(platform::HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  // Nothing is removed: both are refused, so a ForceRemove of the script
  // (whose result the registrar does not weigh) leaves the key alone.
  long DeleteValue(platform::HKey, const char*) override { return platform::status::AccessDenied; }
  long DeleteKey(platform::HKey, const char*) override { return platform::status::AccessDenied; }
};

}  // namespace vrpph
