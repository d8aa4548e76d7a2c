#include "registration/fill_in_registry.h"

namespace vrpph {

long FillInRegistry::SetValue(platform::HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t size) {
  if (inner().QueryValue(key, name, nullptr, nullptr, nullptr) == platform::status::Success) {
    return platform::status::Success;
  }
  return inner().SetValue(key, name, type, data, size);
}

}  // namespace vrpph
