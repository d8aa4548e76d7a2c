// The native messaging host's part of the installer: its manifests and
// per-machine rows learnt from the host's own registration, the include that
// carries them, and the recording registry's state they are read from.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "bridge/host_registration.h"
#include "registry_rows/host_rows.h"
#include "registry_rows/recorded_state.h"
#include "registry_rows/wix_rows.h"
#include "support/fake_registry.h"
#include "support/registry_tools.h"

namespace vrpph::packaging {
namespace {

std::string TextOf(const RegistryRow& row) {
  return row.data.empty() ? std::string() : std::string(row.data.begin(), row.data.end() - 1);
}

const HostManifest* ManifestNamed(const HostPackage& host, const std::string& name) {
  for (const HostManifest& manifest : host.manifests) {
    if (manifest.file.name == name) return &manifest;
  }
  return nullptr;
}

TEST(InstallerHostRowsTest, EachBrowsersKeyBecomesAMachineRowNamingItsManifestInTheInstalledFolder) {
  HostPackage host;
  std::string error;
  ASSERT_TRUE(ReadHostRows("vrpph-bridge.exe", "INSTALLDIR64", &host, &error)) << error;

  ASSERT_EQ(host.rows.size(), bridge::kHostKeys.size());
  for (const bridge::HostKey& key : bridge::kHostKeys) {
    SCOPED_TRACE(key.path);
    const PackageRow* found = nullptr;
    for (const PackageRow& row : host.rows) found = SameName(row.row.key, key.path) ? &row : found;
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->row.root, "HKLM");
    EXPECT_FALSE(found->row.keyOnly);
    EXPECT_EQ(found->row.name, "");
    EXPECT_EQ(found->row.type, 1u);
    EXPECT_EQ(TextOf(found->row), std::string("[INSTALLDIR64]") + key.manifest);
    EXPECT_EQ(found->bits, 64);
    EXPECT_EQ(found->placement, Placement::Component);
    EXPECT_FALSE(found->otherView);
  }
}

TEST(InstallerHostRowsTest, TheManifestsAreTheHostsOwnNamingTheProgramBesideThem) {
  HostPackage host;
  std::string error;
  ASSERT_TRUE(ReadHostRows("vrpph-bridge.exe", "INSTALLDIR64", &host, &error)) << error;
  ASSERT_EQ(host.manifests.size(), 2u);

  const HostManifest* chromium = ManifestNamed(host, bridge::kChromiumManifestName);
  const HostManifest* firefox = ManifestNamed(host, bridge::kFirefoxManifestName);
  ASSERT_TRUE(chromium && firefox);
  EXPECT_EQ(chromium->contents, bridge::ChromiumManifest("vrpph-bridge.exe", bridge::AllowedCallers{}));
  EXPECT_EQ(firefox->contents, bridge::FirefoxManifest("vrpph-bridge.exe", bridge::AllowedCallers{}));
  // A relative path: the browsers resolve it against the manifest's folder.
  EXPECT_EQ(nlohmann::json::parse(chromium->contents)["path"], "vrpph-bridge.exe");
  EXPECT_EQ(nlohmann::json::parse(firefox->contents)["path"], "vrpph-bridge.exe");

  // Each a File Id of its own that the Installer takes.
  std::set<std::string> ids;
  for (const HostManifest& manifest : host.manifests) {
    EXPECT_TRUE(ids.insert(manifest.file.id).second) << manifest.file.id;
    EXPECT_EQ(manifest.file.id.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_."),
              std::string::npos)
        << manifest.file.id;
  }
}

TEST(InstallerHostRowsTest, TheIncludeCarriesTheManifestsAsFilesThenTheRows) {
  HostPackage host;
  std::string error;
  ASSERT_TRUE(ReadHostRows("vrpph-bridge.exe", "INSTALLDIR64", &host, &error)) << error;
  std::vector<WixFile> files;
  for (const HostManifest& manifest : host.manifests) files.push_back(manifest.file);
  std::ostringstream out;
  ASSERT_TRUE(WriteComponentInclude(out, "the host's registration", files, host.rows, 64, &error)) << error;
  const std::string text = out.str();

  const std::size_t file = text.find(R"(  <File Id="vrpph.bridge_firefox.json" Name="vrpph.bridge-firefox.json" )"
                                     R"(Source="vrpph.bridge-firefox.json"/>)");
  const std::size_t row = text.find(
      R"(  <RegistryValue Root="HKLM" Key="Software\Mozilla\NativeMessagingHosts\vrpph.bridge" )"
      R"(Type="string" Value="[INSTALLDIR64]vrpph.bridge-firefox.json"/>)");
  ASSERT_NE(file, std::string::npos) << text;
  ASSERT_NE(row, std::string::npos) << text;
  EXPECT_LT(file, row);
  EXPECT_NE(text.find("<!-- Made by registry_rows from the host's registration: do not edit. -->"), std::string::npos);
}

TEST(InstallerHostRowsTest, AFileTheInstallerOrWixlWouldReadOtherwiseIsRefused) {
  const WixFile bad[] = {{"a-b", "a.json"}, {"1a", "a.json"}, {"", "a.json"},       {"a", ""},
                         {"a", "..\\a.json"}, {"a", "x|y.json"}, {"a", "[ID]a.json"}, {"a", "$(var.X)"},
                         {"a", "a&b.json"}};
  for (const WixFile& file : bad) {
    std::ostringstream out;
    std::string error;
    EXPECT_FALSE(WriteComponentInclude(out, "x", {file}, {}, 64, &error)) << file.id << " " << file.name;
    EXPECT_FALSE(error.empty());
  }
  std::ostringstream out;
  std::string error;
  EXPECT_TRUE(WriteComponentInclude(out, "x", {{"_a.b_1", "a b-c.json"}}, {}, 64, &error)) << error;
}

TEST(InstallerHostRowsTest, TheRecordedStateHoldsValuesAndEmptyLeafKeysOnly) {
  testing::FakeRegistry registry;
  testing::SetString(registry, platform::root::CurrentUser, "Software\\A\\B", nullptr, "x");
  platform::HKey key = 0;
  ASSERT_EQ(registry.CreateKey(platform::root::LocalMachine, "Software\\Empty\\Leaf", nullptr,
                               platform::access::AllAccess, &key, nullptr),
            platform::status::Success);
  registry.CloseKey(key);

  const RegistryState state = RecordedState(registry);
  ASSERT_EQ(state.size(), 2u);
  const RegistryRow& value = state.begin()->second;
  EXPECT_EQ(Describe(value), "HKCU\\Software\\A\\B | @");
  EXPECT_EQ(TextOf(value), "x");
  const RegistryRow& leaf = std::next(state.begin())->second;
  EXPECT_TRUE(leaf.keyOnly);
  EXPECT_EQ(leaf.root, "HKLM");
  EXPECT_EQ(leaf.key, "Software\\Empty\\Leaf");
}

}  // namespace
}  // namespace vrpph::packaging
