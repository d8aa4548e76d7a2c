#include "support/registry_tools.h"

namespace vrpph::testing {

using platform::HKey;
namespace status = platform::status;
namespace access = platform::access;

void DeleteTree(platform::Registry& registry, HKey root, const std::string& path) {
  {
    platform::RegKey key = platform::OpenRegKey(registry, root, path.c_str(), access::AllAccess);
    if (!key) return;
    std::string child;
    while (registry.EnumKey(key.get(), 0, &child, 256) == status::Success) {
      DeleteTree(registry, root, path + "\\" + child);
    }
  }
  registry.DeleteKey(root, path.c_str());
}

void SetValue(platform::Registry& registry, HKey root, const std::string& path, const char* name,
              std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
  HKey handle{};
  if (registry.CreateKey(root, path.c_str(), nullptr, access::AllAccess, &handle, nullptr) != status::Success) {
    return;
  }
  platform::RegKey key(registry, handle);
  static const std::uint8_t kNothing = 0;
  registry.SetValue(key.get(), name, type, bytes.empty() ? &kNothing : bytes.data(),
                    static_cast<std::uint32_t>(bytes.size()));
}

void SetString(platform::Registry& registry, HKey root, const std::string& path, const char* name,
               const std::string& text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  SetValue(registry, root, path, name, platform::value_type::Sz, bytes);
}

void SetDword(platform::Registry& registry, HKey root, const std::string& path, const char* name,
              std::uint32_t number) {
  SetValue(registry, root, path, name, platform::value_type::Dword,
           {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
            static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)});
}

bool KeyExists(platform::Registry& registry, HKey root, const std::string& path) {
  return static_cast<bool>(platform::OpenRegKey(registry, root, path.c_str(), access::Read));
}

std::optional<StoredValue> GetValue(platform::Registry& registry, HKey root, const std::string& path,
                                    const char* name) {
  platform::RegKey key = platform::OpenRegKey(registry, root, path.c_str(), access::Read);
  if (!key) return std::nullopt;
  StoredValue value;
  std::uint32_t size = 0;
  if (registry.QueryValue(key.get(), name, &value.type, nullptr, &size) != status::Success) return std::nullopt;
  value.bytes.resize(size);
  if (registry.QueryValue(key.get(), name, &value.type, value.bytes.data(), &size) != status::Success) {
    return std::nullopt;
  }
  value.bytes.resize(size);
  return value;
}

}  // namespace vrpph::testing
