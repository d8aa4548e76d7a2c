// The package's recording registry with what tests need besides: keys that
// fail to open, and counters of the calls made through it.
#pragma once

#include <map>
#include <string>

#include "registry_rows/recording_registry.h"

namespace vrpph::testing {

class FakeRegistry : public packaging::RecordingRegistry {
 public:
  long OpenKey(platform::HKey parent, const char* path, std::uint32_t access, platform::HKey* result) override;
  long CreateKey(platform::HKey parent, const char* path, const char* keyClass, std::uint32_t access,
                 platform::HKey* result, bool* created) override;
  long CloseKey(platform::HKey key) override;
  long QueryValue(platform::HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override;
  long SetValue(platform::HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  long DeleteValue(platform::HKey key, const char* name) override;
  long DeleteKey(platform::HKey parent, const char* path) override;
  long EnumKey(platform::HKey key, std::uint32_t index, std::string* name, std::uint32_t capacity) override;
  long QuerySubkeyCount(platform::HKey key, std::uint32_t* count) override;

  // Makes every OpenKey/CreateKey of this path (below any root, any case)
  // fail with `status`; Success clears it.
  void FailOpen(const std::string& path, long status);
  // Counts every call made through the Registry interface.
  std::size_t CallCount() const { return calls_; }
  // Counts the OpenKey calls alone.
  std::size_t OpenCount() const { return opens_; }

 private:
  long Failure(platform::HKey parent, const char* path, std::uint32_t access) const;

  std::map<std::string, long> failures_;  // by upper-case path
  std::size_t calls_ = 0;
  std::size_t opens_ = 0;
};

}  // namespace vrpph::testing
