// The main key opened once for the reads of one call. Each read answers as
// ReadSettingString or ReadBinarySetting would, without reopening the key
// for every value; nothing outlives the reader.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace vrpph {

class MainKeyReader {
 public:
  explicit MainKeyReader(platform::Registry& registry) : registry_(registry) {}
  MainKeyReader(const MainKeyReader&) = delete;
  MainKeyReader& operator=(const MainKeyReader&) = delete;

  std::optional<std::string> Text(const char* valueName);
  std::optional<std::vector<std::uint8_t>> Bytes(const char* valueName);

 private:
  // The open key, opened on first use; empty when it cannot be opened.
  const platform::RegKey& Key();

  platform::Registry& registry_;
  platform::RegKey key_;
  bool opened_ = false;
};

}  // namespace vrpph
