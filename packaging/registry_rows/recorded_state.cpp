#include "registry_rows/recorded_state.h"

#include <utility>
#include <vector>

namespace vrpph::packaging {

RegistryState RecordedState(const RecordingRegistry& registry) {
  RegistryState state;
  const std::pair<platform::HKey, const char*> roots[] = {{platform::root::ClassesRoot, "HKCR"},
                                                          {platform::root::CurrentUser, "HKCU"},
                                                          {platform::root::LocalMachine, "HKLM"}};
  for (const auto& [root, rootName] : roots) {
    const std::vector<RecordingRegistry::KeyContents> keys = registry.Contents(root);
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const auto& key = keys[i];
      for (const auto& value : key.values) {
        AddRow(state, RegistryRow{rootName, key.path, false, value.name, value.type, value.bytes});
      }
      // Contents lists a key's subkeys right after it.
      const bool hasSubkeys = i + 1 < keys.size() && keys[i + 1].path.size() > key.path.size() &&
                              keys[i + 1].path.compare(0, key.path.size() + 1, key.path + "\\") == 0;
      if (key.values.empty() && !hasSubkeys) AddRow(state, RegistryRow{rootName, key.path, true, {}, 0, {}});
    }
  }
  return state;
}

}  // namespace vrpph::packaging
