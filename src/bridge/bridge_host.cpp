#include "bridge/bridge_host.h"

#include "bridge/batch_decision.h"
#include "bridge/download_decision.h"
#include "bridge/host_status.h"
#include "bridge/reported_keys.h"
#include "sequence/key_rules.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"

namespace vrpph::bridge {

HelloInfo ReadHelloInfo(platform::Registry& registry, std::string version) {
  const SettingsKey settings = SettingsKey::Main(registry);
  HelloInfo hello;
  hello.version = std::move(version);
  hello.keysToAdd = KeyNamesOf(StoredKeyCombo(settings, values::KeysToAdd));
  hello.keysToIgnore = KeyNamesOf(StoredKeyCombo(settings, values::KeysToIgnore));
  hello.useCtrlAlt = IsFlag(settings.Text(values::UseCtrlAlt), values::True);
  hello.acceptingTypes = AcceptingTypeEntries(settings.Text(values::AcceptingTypes));
  return hello;
}

platform::WindowHandle RequestOwner(const std::optional<platform::WindowHandle>& parentWindow,
                                    const platform::Desktop& desktop) {
  if (parentWindow && *parentWindow != 0) return *parentWindow;
  return desktop.ForegroundWindow();
}

HelloInfo BridgeHost::Hello() { return ReadHelloInfo(platform_.registry, version_); }

HostStatus BridgeHost::Status() { return ReadHostStatus(platform_, version_); }

DownloadAnswer BridgeHost::Download(const BridgeRequest& request, CommitGate& gate) {
  return DecideDownload(request, RequestOwner(parentWindow_, platform_.desktop), platform_, services_, gate);
}

BatchAnswer BridgeHost::Batch(const BridgeRequest& request, CommitGate& gate, const BatchProgress& progress) {
  return DecideBatch(request, RequestOwner(parentWindow_, platform_.desktop), platform_, services_, gate, progress);
}

}  // namespace vrpph::bridge
