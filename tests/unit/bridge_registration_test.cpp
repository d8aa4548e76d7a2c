#include "bridge/host_registration.h"

#include <gtest/gtest.h>

#include <map>

#include <nlohmann/json.hpp>

#include "bridge/host_command_line.h"
#include "support/fake_registry.h"
#include "support/registry_tools.h"

namespace vrpph::bridge {
namespace {

using platform::root::CurrentUser;

class MemoryFiles : public ManifestFiles {
 public:
  bool Write(const char* name, const std::string& contents) override {
    if (failWrites) return false;
    files[name] = contents;
    return true;
  }
  bool Remove(const char* name) override {
    files.erase(name);
    return true;
  }
  std::string AnsiPath(const char* name) const override { return std::string("C:\\Hosts\\") + name; }

  std::map<std::string, std::string> files;
  bool failWrites = false;
};

TEST(BridgeRegistrationTest, RegisteringWritesTwoManifestsAndEachBrowsersKeyAndUnregisteringRemovesExactlyThose) {
  testing::FakeRegistry registry;
  MemoryFiles files;
  // Another host of Chrome's and the folder it lives in stay as they are.
  testing::SetString(registry, CurrentUser, "Software\\Google\\Chrome\\NativeMessagingHosts\\other", nullptr, "x");
  // The unpacked key's origin and a store's, in that order.
  AllowedCallers callers;
  callers.chromiumOrigins = {"chrome-extension://bojnomdfpppnenooliehgpnkfejjnfdd/",
                             "chrome-extension://abcdefghijklmnopabcdefghijklmnop/"};
  ASSERT_TRUE(RegisterHost(registry, files, "C:\\Hosts\\vrpph-bridge.exe", callers));

  ASSERT_EQ(files.files.size(), 2u);
  const auto chromium = nlohmann::json::parse(files.files.at(kChromiumManifestName));
  EXPECT_EQ(chromium, nlohmann::json::parse(R"({"name":"vrpph.bridge","description":"vrpph: hands the browser's downloads to Trevalon",
      "path":"C:\\Hosts\\vrpph-bridge.exe","type":"stdio",
      "allowed_origins":["chrome-extension://bojnomdfpppnenooliehgpnkfejjnfdd/",
                         "chrome-extension://abcdefghijklmnopabcdefghijklmnop/"]})"));
  const auto firefox = nlohmann::json::parse(files.files.at(kFirefoxManifestName));
  EXPECT_EQ(firefox["allowed_extensions"], nlohmann::json::parse(R"(["bridge@vrpph"])"));
  EXPECT_FALSE(firefox.contains("allowed_origins"));

  const std::pair<const char*, const char*> expected[] = {
      {"Software\\Google\\Chrome\\NativeMessagingHosts\\vrpph.bridge", "C:\\Hosts\\vrpph.bridge-chromium.json"},
      {"Software\\Microsoft\\Edge\\NativeMessagingHosts\\vrpph.bridge", "C:\\Hosts\\vrpph.bridge-chromium.json"},
      {"Software\\Chromium\\NativeMessagingHosts\\vrpph.bridge", "C:\\Hosts\\vrpph.bridge-chromium.json"},
      {"Software\\BraveSoftware\\Brave-Browser\\NativeMessagingHosts\\vrpph.bridge",
       "C:\\Hosts\\vrpph.bridge-chromium.json"},
      {"Software\\Mozilla\\NativeMessagingHosts\\vrpph.bridge", "C:\\Hosts\\vrpph.bridge-firefox.json"},
  };
  ASSERT_EQ(std::size(expected), kHostKeys.size()) << "every key the registration writes is checked";
  for (const auto& [path, manifest] : expected) {
    const auto value = testing::GetValue(registry, CurrentUser, path, nullptr);
    ASSERT_TRUE(value) << path;
    EXPECT_EQ(value->type, platform::value_type::Sz);
    const std::string text(manifest);
    EXPECT_EQ(value->bytes, std::vector<std::uint8_t>(text.c_str(), text.c_str() + text.size() + 1)) << path;
  }

  ASSERT_TRUE(UnregisterHost(registry, files));
  EXPECT_TRUE(files.files.empty());
  for (const auto& entry : expected) EXPECT_FALSE(testing::KeyExists(registry, CurrentUser, entry.first));
  EXPECT_TRUE(testing::GetValue(registry, CurrentUser, "Software\\Google\\Chrome\\NativeMessagingHosts\\other", nullptr));
  EXPECT_TRUE(UnregisterHost(registry, files)) << "nothing left to remove is no failure";

  files.failWrites = true;
  EXPECT_FALSE(RegisterHost(registry, files, "C:\\x.exe", callers));
  EXPECT_FALSE(testing::KeyExists(registry, CurrentUser, expected[0].first)) << "no key names a missing manifest";
}

TEST(BridgeRegistrationTest, TheCommandLineSaysWhatToDoAndForWhichWindow) {
  HostCommand serve = ParseHostCommand({"chrome-extension://abc/", "--parent-window=131142"});
  EXPECT_EQ(serve.mode, HostMode::Serve);
  EXPECT_EQ(serve.parentWindow, platform::WindowHandle{131142});
  // Firefox passes its manifest's path and the add-on id.
  serve = ParseHostCommand({"C:\\Hosts\\vrpph.bridge-firefox.json", "bridge@vrpph"});
  EXPECT_EQ(serve.mode, HostMode::Serve);
  EXPECT_EQ(serve.parentWindow, std::nullopt);
  for (const char* bad : {"--parent-window=", "--parent-window=12x", "--parent-window=-1",
                          "--parent-window=99999999999999999999999"}) {
    EXPECT_EQ(ParseHostCommand({bad}).parentWindow, std::nullopt) << bad;
  }
  const HostCommand reg = ParseHostCommand({"--register", "--extension-origin=chrome-extension://xyz/", "--addon-id=a@b",
                                             "--extension-origin=chrome-extension://uvw/"});
  EXPECT_EQ(reg.mode, HostMode::Register);
  // The origins given replace the built-in ones, in their order.
  EXPECT_EQ(reg.callers.chromiumOrigins, (std::vector<std::string>{"chrome-extension://xyz/", "chrome-extension://uvw/"}));
  EXPECT_EQ(reg.callers.firefoxAddonId, "a@b");
  EXPECT_EQ(ParseHostCommand({"--register"}).callers.chromiumOrigins, DefaultChromiumOrigins());
  EXPECT_EQ(ParseHostCommand({"--unregister"}).mode, HostMode::Unregister);
}

TEST(BridgeRegistrationTest, TheBuiltInOriginsAreTheUnpackedKeysThenTheStoresWhenTheBuildNamesOne) {
  const std::vector<std::string> origins = DefaultChromiumOrigins();
  ASSERT_FALSE(origins.empty());
  EXPECT_EQ(origins[0], "chrome-extension://bojnomdfpppnenooliehgpnkfejjnfdd/");
  const std::string store = kChromiumStoreId;
  if (store.empty()) {
    EXPECT_EQ(origins.size(), 1u);
  } else {
    ASSERT_EQ(origins.size(), 2u);
    EXPECT_EQ(origins[1], "chrome-extension://" + store + "/");
    EXPECT_EQ(store.size(), 32u);
    EXPECT_EQ(store.find_first_not_of("abcdefghijklmnop"), std::string::npos);
  }
  EXPECT_EQ(AllowedCallers{}.chromiumOrigins, origins);
}

}  // namespace
}  // namespace vrpph::bridge
