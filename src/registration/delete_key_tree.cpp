#include "registration/delete_key_tree.h"

#include <string>

namespace vrpph {

namespace {
// Subkey names of up to 256 characters, terminator included.
constexpr std::uint32_t kSubkeyNameCapacity = 257;
}  // namespace

long DeleteKeyTree(platform::Registry& registry, platform::HKey parent, const char* name) {
  long rc = platform::status::Success;
  platform::RegKey key =
      platform::OpenRegKey(registry, parent, name, platform::access::Read | platform::access::Write, &rc);
  if (!key) return rc;
  std::string child;
  // Always index 0: each pass removes the first subkey, so the next one moves up.
  while (registry.EnumKey(key.get(), 0, &child, kSubkeyNameCapacity) == platform::status::Success) {
    rc = DeleteKeyTree(registry, key.get(), child.c_str());
    if (rc != platform::status::Success) return rc;
  }
  key.Reset();
  return registry.DeleteKey(parent, name);
}

}  // namespace vrpph
