// The registry seam on the real Reg* API: every status is passed back as the
// API returned it.
#pragma once

#include "platform/registry.h"

namespace vrpph::platform {

class Win32Registry final : public Registry {
 public:
  long OpenKey(HKey parent, const char* path, std::uint32_t access, HKey* result) override;
  long CreateKey(HKey parent, const char* path, const char* keyClass, std::uint32_t access,
                 HKey* result, bool* created) override;
  long CloseKey(HKey key) override;
  long QueryValue(HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override;
  long SetValue(HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  long DeleteValue(HKey key, const char* name) override;
  long DeleteKey(HKey parent, const char* path) override;
  long EnumKey(HKey key, std::uint32_t index, std::string* name, std::uint32_t capacity) override;
  long QuerySubkeyCount(HKey key, std::uint32_t* count) override;
};

}  // namespace vrpph::platform
