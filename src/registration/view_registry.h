// The registry as seen through one view of 64-bit Windows: every open and
// create carries the view's flag (access::View32 or View64; 0 for the
// caller's own view), everything else goes through unchanged.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace vrpph {

class ViewRegistry : public platform::Registry {
 public:
  ViewRegistry(platform::Registry& inner, std::uint32_t view) : inner_(inner), view_(view) {}

  long OpenKey(platform::HKey parent, const char* path, std::uint32_t access, platform::HKey* result) override {
    return inner_.OpenKey(parent, path, access | view_, result);
  }
  long CreateKey(platform::HKey parent, const char* path, const char* keyClass, std::uint32_t access,
                 platform::HKey* result, bool* created) override {
    return inner_.CreateKey(parent, path, keyClass, access | view_, result, created);
  }
  long CloseKey(platform::HKey key) override { return inner_.CloseKey(key); }
  long QueryValue(platform::HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override {
    return inner_.QueryValue(key, name, type, data, size);
  }
  long SetValue(platform::HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override {
    return inner_.SetValue(key, name, type, data, size);
  }
  long DeleteValue(platform::HKey key, const char* name) override { return inner_.DeleteValue(key, name); }
  long DeleteKey(platform::HKey parent, const char* path) override { return inner_.DeleteKey(parent, path); }
  long EnumKey(platform::HKey key, std::uint32_t index, std::string* name, std::uint32_t capacity) override {
    return inner_.EnumKey(key, index, name, capacity);
  }
  long QuerySubkeyCount(platform::HKey key, std::uint32_t* count) override {
    return inner_.QuerySubkeyCount(key, count);
  }

 protected:
  platform::Registry& inner() { return inner_; }

 private:
  platform::Registry& inner_;
  std::uint32_t view_;
};

}  // namespace vrpph
