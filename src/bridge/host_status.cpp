#include "bridge/host_status.h"

#include <string_view>

#include "bridge/download_decision.h"
#include "core/outcomes.h"
#include "handoff/delivery.h"
#include "handoff/program_locator.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "url/type_list.h"

namespace vrpph::bridge {
namespace {

constexpr const char* kHandlerServerKey = "CLSID\\{E131C96E-4DDB-11D4-84B8-008048B33DEA}\\InprocServer32";

// On 32-bit Windows both flags are ignored and name its one view.
bool ViewRegistersHandler(platform::Registry& registry, std::uint32_t view) {
  return static_cast<bool>(
      platform::OpenRegKey(registry, platform::root::ClassesRoot, kHandlerServerKey, platform::access::Read | view));
}

}  // namespace

std::vector<std::string> AcceptingTypeEntries(const std::optional<std::string>& list) {
  std::vector<std::string> entries;
  if (!list) return entries;
  std::size_t position = ListStartPosition(*list);
  std::string_view entry;
  while (NextListEntry(*list, position, entry)) entries.emplace_back(entry);
  return entries;
}

HostStatus ReadHostStatus(platform::Platform& platform, std::string version) {
  HostStatus status;
  status.version = std::move(version);
  const auto path = FindProgram(platform.registry);
  status.programFound = path && !path->empty();
  status.windowFound = FindManagerWindow(platform, kBridgeRoad.delivery) != 0;
  status.registered32 = ViewRegistersHandler(platform.registry, platform::access::View32);
  status.registered64 = ViewRegistersHandler(platform.registry, platform::access::View64);
  const SettingsKey settings = SettingsKey::Main(platform.registry);
  status.noTypes = AcceptingTypeEntries(settings.Text(values::AcceptingTypes)).empty();
  status.useCtrlAlt = IsFlag(settings.Text(values::UseCtrlAlt), values::True);
  return status;
}

}  // namespace vrpph::bridge
