// Rules every road that hands a download over must keep alike: the
// handler's Start, API.DownloadFile and the native messaging host, each run
// over one fake world.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "automation/automation_api.h"
#include "bridge/bridge_host.h"
#include "bridge/download_decision.h"
#include "bridge/reported_keys.h"
#include "interception/navigation_decision.h"
#include "sequence/key_rules.h"
#include "settings/contact_points.h"
#include "support/fake_download_services.h"
#include "support/fake_platform.h"
#include "support/fixed_commit_gate.h"
#include "support/registry_tools.h"
#include "support/scripted_prompt_dialog.h"

namespace vrpph {
namespace {

using platform::root::CurrentUser;
using testing::FakePlatform;

constexpr platform::WindowHandle kOwner = 0x4242;

void Setting(FakePlatform& world, const char* name, const std::string& text) {
  testing::SetString(world.registry, CurrentUser, keys::Main, name, text);
}

NavigationAnswer StartOf(FakePlatform& world, testing::FakeDownloadServices& services, const std::string& url) {
  const std::u16string wide(url.begin(), url.end());
  return DecideNavigation(NavigationRequest{wide.c_str(), RequestVerb::Get, {}, kOwner}, world.platform, services);
}

// The bridge's answer with the real services, the extension's go given;
// the prompt, if reached, is confirmed to open the file.
struct BridgeRoad {
  explicit BridgeRoad(FakePlatform& world) : world_(world) { dialog.result = prompt_result::Proceed; }
  bridge::DownloadAnswer Decide(const std::string& url, const std::string& fileName,
                                std::optional<std::vector<std::string>> keys = std::nullopt) {
    bridge::BridgeRequest request;
    request.id = "d1";
    request.type = bridge::RequestType::Download;
    request.url = url;
    request.filename = fileName;
    request.keys = std::move(keys);
    return bridge::DecideDownload(request, kOwner, world_.platform, services, go);
  }

  FakePlatform& world_;
  testing::ScriptedPromptDialog dialog;
  std::atomic<OpenMode> openMode{OpenMode::Open};
  std::atomic<bool> inputEnded{false};
  ModuleServices services{world_.platform, openMode, dialog, &inputEnded};
  testing::FixedCommitGate go;
};

bool IsIgnore(const char* valueName) { return std::strcmp(valueName, values::KeysToIgnore) == 0; }

// True when the road found the default combination of `valueName` held (or
// named it so in the hello) with the stored value as the world holds it.
using DefaultRead = std::function<bool(FakePlatform&, const char* valueName)>;

bool HandlerReadsTheDefault(FakePlatform& world, const char* valueName) {
  world.keyboard.Hold({});
  for (std::uint8_t code : DefaultKeyCombo(valueName)) world.keyboard.SetEntry(code, 0x80);
  testing::FakeDownloadServices services;
  // An accepted file is declined only when ignored; a page is taken only when forced.
  if (IsIgnore(valueName)) return StartOf(world, services, "http://h/a.zip") == NavigationAnswer::Decline;
  return StartOf(world, services, "http://h/page.html") == NavigationAnswer::Take;
}

bool BridgeReadsTheDefault(FakePlatform& world, const char* valueName) {
  BridgeRoad road(world);
  road.dialog.result = prompt_result::Cancelled;  // taken, and nothing to deliver
  const auto reported = bridge::KeyNamesOf(DefaultKeyCombo(valueName));
  if (IsIgnore(valueName)) return road.Decide("http://h/a.zip", "a.zip", reported).reason == bridge::reason::IgnoreKeys;
  return road.Decide("http://h/page.html", "page.html", reported).state == bridge::DownloadState::Taken;
}

bool HelloNamesTheDefault(FakePlatform& world, const char* valueName) {
  const bridge::HelloInfo hello = bridge::ReadHelloInfo(world.registry, "v");
  return (IsIgnore(valueName) ? hello.keysToIgnore : hello.keysToAdd) ==
         bridge::KeyNamesOf(DefaultKeyCombo(valueName));
}

// A stored value with no bytes, whatever its type, is no combination: the
// default holds, as when the value is absent.
TEST(EveryRoadTest, AnEmptyStoredKeyCombinationMeansTheDefault) {
  const struct {
    const char* name;
    DefaultRead read;
  } roads[] = {
      {"the handler's Start", HandlerReadsTheDefault},
      {"the bridge's download rules", BridgeReadsTheDefault},
      {"the bridge's hello", HelloNamesTheDefault},
  };
  const struct {
    const char* name;
    std::optional<std::vector<std::uint8_t>> bytes;
    std::uint32_t type;
    bool isDefault;
  } stored[] = {
      {"absent", std::nullopt, platform::value_type::Binary, true},
      {"binary of no bytes", std::vector<std::uint8_t>{}, platform::value_type::Binary, true},
      {"text of no bytes", std::vector<std::uint8_t>{}, platform::value_type::Sz, true},
      {"another combination", std::vector<std::uint8_t>{virtual_key::Control}, platform::value_type::Binary, false},
  };
  for (const auto& road : roads) {
    for (const char* valueName : {values::KeysToIgnore, values::KeysToAdd}) {
      for (const auto& value : stored) {
        FakePlatform world;
        Setting(world, values::AcceptingTypes, "ZIP, ");
        Setting(world, values::UseCtrlAlt, IsIgnore(valueName) ? "FALSE" : "TRUE");
        if (value.bytes) {
          testing::SetValue(world.registry, CurrentUser, keys::Main, valueName, value.type, *value.bytes);
        }
        EXPECT_EQ(road.read(world, valueName), value.isDefault) << road.name << ", " << valueName << " " << value.name;
      }
    }
  }
}

// The URL each road put in its record, or "<none>".
std::string RecordedUrl(const std::string& record) {
  if (record.compare(0, 4, "URL=") != 0) return "<none>";
  return record.substr(4, record.find('\n') - 4);
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// However the escapes before it are decoded, an escaped NUL at the very end
// stays as given: decoded, it would cut the URL short in the record.
TEST(EveryRoadTest, AUrlEndingInAnEscapedNulKeepsItsEnd) {
  const std::string url = "http://h/a%20b.zip%00";
  const struct {
    const char* name;
    std::function<std::string(FakePlatform&)> record;
  } roads[] = {
      {"the handler's Start, forced",
       [&](FakePlatform& world) {
         world.keyboard.Hold({virtual_key::Control, virtual_key::Menu});
         testing::FakeDownloadServices services;
         EXPECT_EQ(StartOf(world, services, url), NavigationAnswer::Take);
         return services.deliveries.empty() ? std::string() : services.deliveries.back().record;
       }},
      {"DownloadFile",
       [&](FakePlatform& world) {
         testing::FakeDownloadServices services;
         const std::u16string wide(url.begin(), url.end());
         DownloadFile(world.platform, services, DownloadFileRequest{wide.c_str(), nullptr, nullptr});
         return services.deliveries.empty() ? std::string() : services.deliveries.back().record;
       }},
      {"the bridge",
       [&](FakePlatform& world) {
         const auto window = world.desktop.AddWindow(manager::WindowClass, manager::DefaultTitle);
         world.desktop.OnCopyData(window, [](std::uintptr_t, const std::string&) -> std::intptr_t { return 0; });
         BridgeRoad road(world);
         EXPECT_TRUE(road.Decide(url, "a b.zip").sent);
         const auto& sent = world.desktop.copyData();
         return sent.empty() ? std::string() : sent.back().bytes;
       }},
  };
  for (const auto& road : roads) {
    for (const char* decode : {"TRUE", "FALSE"}) {
      FakePlatform world;
      Setting(world, values::AcceptingTypes, "ZIP, ");
      Setting(world, values::DecodeUrls, decode);
      const std::string sent = RecordedUrl(road.record(world));
      EXPECT_TRUE(EndsWith(sent, "%00")) << road.name << ", DecodeURLs " << decode << ": " << sent;
      EXPECT_EQ(sent.find('\0'), std::string::npos) << road.name;
    }
  }
}

}  // namespace
}  // namespace vrpph
