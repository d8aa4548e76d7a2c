// vrpph-bridge.exe --register and --unregister against Wine's registry and
// the files beside a copy of the program in a folder whose name has blanks.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "bridge/host_registration.h"
#include "platform/win32/win32_registry.h"
#include "support/registry_tools.h"
#include "wine/support/bridge_process.h"
#include "wine/support/child_process.h"

namespace vrpph::wine_tests {
namespace {

using platform::root::CurrentUser;

const char* const kHostKeys[] = {
    "Software\\Google\\Chrome\\NativeMessagingHosts\\vrpph.bridge",
    "Software\\Microsoft\\Edge\\NativeMessagingHosts\\vrpph.bridge",
    "Software\\Chromium\\NativeMessagingHosts\\vrpph.bridge",
    "Software\\BraveSoftware\\Brave-Browser\\NativeMessagingHosts\\vrpph.bridge",
    "Software\\Mozilla\\NativeMessagingHosts\\vrpph.bridge",
};
constexpr const char* kOtherHost = "Software\\Google\\Chrome\\NativeMessagingHosts\\other.host";

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return "<missing>";
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// JSON's spelling of a Windows path.
std::string Escaped(const std::string& path) {
  std::string escaped;
  for (char c : path) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return escaped;
}

class BridgeRegistrationWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "vrpph bridge " + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
    program_ = folder_ + "vrpph-bridge.exe";
    ASSERT_TRUE(CopyFileA(BridgeProgramPath().c_str(), program_.c_str(), FALSE));
    for (const char* key : kHostKeys) testing::DeleteTree(registry_, CurrentUser, key);
    testing::SetString(registry_, CurrentUser, kOtherHost, nullptr, "C:\\other\\host.json");
  }
  void TearDown() override {
    for (const char* key : kHostKeys) testing::DeleteTree(registry_, CurrentUser, key);
    testing::DeleteTree(registry_, CurrentUser, kOtherHost);
    for (const char* name : {"vrpph-bridge.exe", "vrpph.bridge-chromium.json", "vrpph.bridge-firefox.json"}) {
      DeleteFileA((folder_ + name).c_str());
    }
    RemoveDirectoryA(folder_.c_str());
  }
  ChildRun Run(const char* switches) { return RunChild(Quoted(program_) + " " + switches, 30000); }
  std::vector<std::string> FolderFiles() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder_ + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
  }

  platform::Win32Registry registry_;
  std::string folder_;
  std::string program_;
};

TEST_F(BridgeRegistrationWineTest, RegisterWritesManifestsAndKeysThatUnregisterRemovesAgain) {
  ASSERT_EQ(FolderFiles(), (std::vector<std::string>{"vrpph-bridge.exe"}));
  const ChildRun registered = Run("--register");
  ASSERT_TRUE(registered.finished);
  EXPECT_EQ(registered.exitCode, 0u) << registered.output;
  EXPECT_EQ(registered.output, "vrpph.bridge registered\r\n");

  EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"vrpph-bridge.exe", "vrpph.bridge-chromium.json",
                                                     "vrpph.bridge-firefox.json"}));
  const std::string head = "{\n  \"name\": \"vrpph.bridge\",\n"
                           "  \"description\": \"vrpph: hands the browser's downloads to Trevalon\",\n"
                           "  \"path\": \"" + Escaped(program_) + "\",\n  \"type\": \"stdio\",\n";
  // The store's origin follows the unpacked key's when the build names one.
  const std::string store = bridge::kChromiumStoreId;
  const std::string storeLine = store.empty() ? "" : ",\n    \"chrome-extension://" + store + "/\"";
  EXPECT_EQ(FileText(folder_ + "vrpph.bridge-chromium.json"),
            head + "  \"allowed_origins\": [\n    \"chrome-extension://bojnomdfpppnenooliehgpnkfejjnfdd/\"" + storeLine +
                "\n  ]\n}\n");
  EXPECT_EQ(FileText(folder_ + "vrpph.bridge-firefox.json"),
            head + "  \"allowed_extensions\": [\n    \"bridge@vrpph\"\n  ]\n}\n");
  for (const char* key : kHostKeys) {
    const std::string manifest =
        folder_ + (std::string(key).find("Mozilla") != std::string::npos ? "vrpph.bridge-firefox.json"
                                                                           : "vrpph.bridge-chromium.json");
    const auto value = testing::GetValue(registry_, CurrentUser, key, nullptr);
    ASSERT_TRUE(value) << key;
    EXPECT_EQ(value->type, platform::value_type::Sz);
    EXPECT_EQ(std::string(value->bytes.begin(), value->bytes.end()), manifest + '\0') << key;
  }

  const ChildRun unregistered = Run("--unregister");
  ASSERT_TRUE(unregistered.finished);
  EXPECT_EQ(unregistered.exitCode, 0u) << unregistered.output;
  EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"vrpph-bridge.exe"}));
  for (const char* key : kHostKeys) EXPECT_FALSE(testing::KeyExists(registry_, CurrentUser, key)) << key;
  const auto other = testing::GetValue(registry_, CurrentUser, kOtherHost, nullptr);
  ASSERT_TRUE(other) << "another host's entry stays";
  EXPECT_EQ(std::string(other->bytes.begin(), other->bytes.end()), std::string("C:\\other\\host.json") + '\0');
}

}  // namespace
}  // namespace vrpph::wine_tests
