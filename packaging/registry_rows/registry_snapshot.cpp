#include "registry_rows/registry_snapshot.h"

#include <utility>
#include <vector>

#include "platform/win32/handles.h"

namespace vrpph::packaging {
namespace {

// The key below `parent`, or none when it cannot be opened.
platform::UniqueKey OpenKey(HKEY parent, const std::string& path, REGSAM access) {
  // A failed open leaves its out-parameter undefined: only a success is owned.
  HKEY opened = nullptr;
  if (RegOpenKeyExA(parent, path.empty() ? nullptr : path.c_str(), 0, access, &opened) != ERROR_SUCCESS) return {};
  return platform::UniqueKey(opened);
}

struct Walk {
  std::string rootName;
  REGSAM view;
  RegistryState state;
  int unreadable = 0;
};

// Values of `key`; false when the key has none.
bool ReadValues(HKEY key, const std::string& path, Walk& walk) {
  DWORD count = 0, longestName = 0, longestData = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                       &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  // The registry bounds both: 16383 characters a name, the data's own size.
  std::vector<char> name(longestName + 1);
  std::vector<BYTE> data(longestData + 1);
  bool any = false;
  for (DWORD index = 0; index < count; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
      continue;
    }
    RegistryRow row{walk.rootName, path, false, std::string(name.data(), nameLength), type,
                    std::vector<std::uint8_t>(data.begin(), data.begin() + size)};
    AddRow(walk.state, std::move(row));
    any = true;
  }
  return any;
}

void ReadTree(HKEY key, const std::string& path, Walk& walk) {
  const bool hasValues = ReadValues(key, path, walk);
  bool hasSubkeys = false;
  for (DWORD index = 0;; ++index) {
    char name[256];  // a key name holds at most 255 characters
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    hasSubkeys = true;
    const std::string child(name, length);
    if (lstrcmpiA(child.c_str(), "Wow6432Node") == 0) continue;
    const platform::UniqueKey opened = OpenKey(key, child, KEY_READ | walk.view);
    if (!opened) {
      ++walk.unreadable;
      continue;
    }
    ReadTree(opened.get(), path.empty() ? child : path + "\\" + child, walk);
  }
  if (!hasValues && !hasSubkeys && !path.empty()) {
    AddRow(walk.state, RegistryRow{walk.rootName, path, true, {}, 0, {}});
  }
}

}  // namespace

RegistryState TakeSnapshot(HKEY root, const std::string& rootName, const std::string& path, REGSAM view,
                           int* unreadable) {
  Walk walk{rootName, view, {}, 0};
  const platform::UniqueKey top = OpenKey(root, path, KEY_READ | view);
  if (top) ReadTree(top.get(), path, walk);
  if (unreadable) *unreadable = walk.unreadable;
  return std::move(walk.state);
}

}  // namespace vrpph::packaging
