// Seeding and clearing keys through the Registry interface, so the same test
// runs against the fake and against a real registry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace vrpph::testing {

void DeleteTree(platform::Registry& registry, platform::HKey root, const std::string& path);
void SetValue(platform::Registry& registry, platform::HKey root, const std::string& path, const char* name,
              std::uint32_t type, const std::vector<std::uint8_t>& bytes);
// REG_SZ with its terminator, as the download manager writes it.
void SetString(platform::Registry& registry, platform::HKey root, const std::string& path, const char* name,
               const std::string& text);
void SetDword(platform::Registry& registry, platform::HKey root, const std::string& path, const char* name,
              std::uint32_t number);
bool KeyExists(platform::Registry& registry, platform::HKey root, const std::string& path);

struct StoredValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> bytes;
  bool operator==(const StoredValue&) const = default;
};
std::optional<StoredValue> GetValue(platform::Registry& registry, platform::HKey root, const std::string& path,
                                    const char* name);

}  // namespace vrpph::testing
