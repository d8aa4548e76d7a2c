// One thing a module's registration leaves in the registry: a value, or a key
// that holds no values and no subkeys (every other key exists because
// something below it does).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vrpph::packaging {

struct RegistryRow {
  std::string root;  // "HKCR", "HKCU" or "HKLM"
  std::string key;   // below the root
  bool keyOnly = false;
  std::string name;  // "" for the default value; unused for a key alone
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;  // as stored, a text with its terminator
};

// Key paths and value names compare as the registry compares them: without
// regard to ASCII letter case.
bool SameName(const std::string& a, const std::string& b);
bool SameEntry(const RegistryRow& a, const RegistryRow& b);  // root, key and name
bool SameRow(const RegistryRow& a, const RegistryRow& b);    // and type and data

// "HKCR\key" or "HKCR\key | name": for messages.
std::string Describe(const RegistryRow& row);

}  // namespace vrpph::packaging
