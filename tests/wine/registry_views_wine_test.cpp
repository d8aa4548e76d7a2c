// The two registry views of 64-bit Windows: a 64-bit module finds a 32-bit
// download manager's uninstall entry, and the 32-bit and the 64-bit module
// register side by side and unregister in either order without breaking
// the other. In a win32 prefix (one view) the same tests hold for the lone
// 32-bit module.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/win32/com_ref.h"
#include "platform/win32/win32_registry.h"
#include "settings/contact_points.h"
#include "support/registry_tools.h"
#include "vrpph_idl.h"
#include "wine/support/browser_host_run.h"
#include "wine/support/child_process.h"
#include "wine/support/owned_bstr.h"
#include "wine/support/registration_guard.h"
#include "wine/support/standin_manager.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using platform::root::CurrentUser;

constexpr DWORD kWait = 15000;
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trevalon";
constexpr const char* kTypeLibraryLocale = "TypeLib\\{E131C961-4DDB-11D4-84B8-008048B33DEA}\\1.0\\409";

void SetUninstallEntry(REGSAM view, const std::string& command) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>(command.size() + 1));
  RegCloseKey(key);
}

bool UninstallEntryIn(REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void DeleteUninstallEntries() {
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, view, 0);
}

// The 32-bit module beside a 64-bit test, where this machine runs 32-bit
// programs: ctest passes its Linux path (Wine's drive Z: is the Linux
// root), or "missing: " and why not.
struct PeerModule {
  std::string path;
  std::string missing;
};

PeerModule FindPeerModule() {
  if (!kModuleIs64Bit) return {"", "a 32-bit Windows has one registry view and no 64-bit module"};
  const char* given = std::getenv("VRPPH_PEER_MODULE");
  const std::string text = given ? given : "";
  if (text.empty()) return {"", "no 32-bit module given (tools/test passes VRPPH_PEER_MODULE)"};
  if (text.rfind("missing: ", 0) == 0) return {"", text.substr(9)};
  std::string path = "Z:" + text;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return {path, ""};
}

std::string Wow64Regsvr32() {
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemWow64DirectoryA(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(folder, length) + "\\regsvr32.exe" : std::string();
}

// HKCR and HKLM\Software in both views, one line a key or value. HKCR shows
// HKLM\Software\Classes already, so that is not read twice.
std::set<std::string> RegistryLines() {
  std::set<std::string> lines;
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    const std::string name = view == KEY_WOW64_64KEY ? "64| " : "32| ";
    for (auto [root, rootName, path, skip] :
         {std::tuple{HKEY_CLASSES_ROOT, "HKCR\\", "", ""},
          std::tuple{HKEY_LOCAL_MACHINE, "HKLM\\Software\\", "Software", "Classes"}}) {
      std::istringstream dump(ViewDump(root, path, view, skip));
      for (std::string line; std::getline(dump, line);) lines.insert(name + rootName + line);
    }
  }
  return lines;
}

std::string Difference(const std::set<std::string>& from, const std::set<std::string>& to) {
  std::string text;
  for (const std::string& line : from) {
    if (!to.count(line)) text += "- " + line + "\n";
  }
  for (const std::string& line : to) {
    if (!from.count(line)) text += "+ " + line + "\n";
  }
  return text;
}

class RegistryViewsWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::DeleteTree(registry_, CurrentUser, "Software\\Quorvane");
    DeleteUninstallEntries();
    RunRegsvr32(own_, true);
  }
  void TearDown() override {
    manager_.StopAll();
    testing::DeleteTree(registry_, CurrentUser, "Software\\Quorvane");
    DeleteUninstallEntries();
  }
  void Configure() {
    testing::SetString(registry_, CurrentUser, keys::Main, values::AcceptingTypes, "ZIP, ");
    testing::SetString(registry_, CurrentUser, keys::Main, values::ProgramPath, manager_.ProgramPath());
    testing::SetDword(registry_, CurrentUser, keys::DefAction, "zip", 0);
  }
  // What a user of the registered module sees: the browser's name-space
  // handler entry leads to it, a script finds API by its ProgID, and the
  // type library loads for this process's platform.
  void ExpectTheRegisteredModuleServes(const std::string& tag) {
    SCOPED_TRACE(tag);
    const std::size_t before = manager_.Entries("RECORD").size();
    const HostRun host = RunBrowserHost({"http://files.example/" + tag + ".zip"});
    ASSERT_TRUE(host.finished) << host.output << host.errors;
    ASSERT_EQ(host.navigations.size(), 1u) << host.output;
    EXPECT_EQ(host.navigations[0].decision, "taken") << host.output;

    std::string script = TempFile(".vbs");
    std::ofstream(script, std::ios::binary) << "Set api = CreateObject(\"Vrpph.API\")\r\n"
                                               "WScript.Echo api.DownloadFile(\"http://files.example/"
                                            << tag << "-api.zip\", \"\", \"\")\r\n";
    const ChildRun run = RunChild("cscript.exe //nologo " + Quoted(script), 60000);
    DeleteFileA(script.c_str());
    EXPECT_EQ(run.output, "0\r\n") << "the script could not make or call API";

    const auto records = manager_.WaitForEntries("RECORD", before + 2, kWait);
    ASSERT_EQ(records.size(), before + 2);
    EXPECT_EQ(records[before].bytes, "URL=http://files.example/" + tag + ".zip\nPath=OPEN");
    EXPECT_EQ(records[before + 1].bytes, "URL=http://files.example/" + tag + "-api.zip\nReferer=\nPath=OPEN");

    ITypeLib* library = nullptr;
    EXPECT_EQ(LoadRegTypeLib(LIBID_VRPPHLib, 1, 0, 0x0409, &library), S_OK);
    if (library) library->Release();
  }
  static std::string TempFile(const char* extension) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "vrpph views " + std::to_string(GetCurrentProcessId()) + extension;
  }

  const std::string own_ = VrpphDllPath();
  platform::Win32Registry registry_;
  StandInManager manager_;
  RegistrationGuard guard_{[this] { RunRegsvr32(own_, true); }};
};

TEST_F(RegistryViewsWineTest, AnUninstallEntryOnlyInThe32BitViewStartsTheManager) {
  SetUninstallEntry(KEY_WOW64_32KEY, manager_.ProgramPath() + " /uninstall");
  EXPECT_EQ(UninstallEntryIn(KEY_WOW64_64KEY), !kModuleIs64Bit) << "a 32-bit Windows has that one view only";
  testing::SetDword(registry_, CurrentUser, keys::DefAction, "zip", 0);
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  {
    LoadedDll dll;
    platform::ComRef<IAPI> api;
    ASSERT_EQ(dll.CreateInstance(CLSID_API, IID_IAPI, reinterpret_cast<void**>(api.put())), S_OK);
    Bstr url(L"http://files.example/tool.zip"), none(L"");
    short result = -1;
    ASSERT_EQ(api->DownloadFile(url.get(), none.get(), none.get(), &result), S_OK);
  }
  CoUninitialize();
  const auto records = manager_.WaitForEntries("RECORD", 1, kWait);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].bytes, "URL=http://files.example/tool.zip\nReferer=\nPath=OPEN");
  const auto starts = manager_.Entries("START");
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].bytes, " /Invisible");
  std::string upper = manager_.ProgramPath();
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  const auto stored = testing::GetValue(registry_, CurrentUser, keys::Main, values::ProgramPath);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(std::string(stored->bytes.begin(), stored->bytes.end()), upper + std::string(1, '\0'))
      << "found in the other view, stored as any other";
}

// The first registration in a prefix leaves two marks that unregistration
// keeps, as the script says: the empty scheme keys below the name-space
// handler key (NoRemove) and the platform's handler keys as it rewrote them.
// So the registry is compared with its state after one round, and every
// later round, of either module or both, must end there exactly.
TEST_F(RegistryViewsWineTest, TwoModulesRegisterSideBySideAndUnregisterInEitherOrder) {
  Configure();
  const PeerModule peer = FindPeerModule();
  const std::string peerRegsvr32 = Wow64Regsvr32();
  // The script host registers its own type library the first time it runs
  // in a prefix; that must happen before the baseline, not between dumps.
  const std::string warmUp = TempFile(".vbs");
  std::ofstream(warmUp, std::ios::binary) << "WScript.Echo 1\r\n";
  RunChild("cscript.exe //nologo " + Quoted(warmUp), 60000);
  DeleteFileA(warmUp.c_str());
  ASSERT_EQ(RunRegsvr32(own_, false), 0);
  ASSERT_EQ(RunRegsvr32(own_, true), 0);
  const std::set<std::string> before = RegistryLines();
  const std::string kind = kModuleIs64Bit ? "the 64-bit module" : "the 32-bit module";

  if (!peer.missing.empty()) {
    std::cout << "[ NOTE     ] the 32-bit module beside the 64-bit one: not run, " << peer.missing << "\n"
              << "[ NOTE     ] running the half for " << kind << " alone\n";
  } else {
    ASSERT_FALSE(peerRegsvr32.empty()) << "no 32-bit system folder in this prefix";
    RegistrationGuard peerGuard([&] { RunRegsvr32(peer.path, true, peerRegsvr32); });
    ASSERT_EQ(RunRegsvr32(peer.path, false, peerRegsvr32), 0);
    ASSERT_EQ(RunRegsvr32(own_, false), 0);
    EXPECT_NE(KeyValues(HKEY_CLASSES_ROOT, std::string(kTypeLibraryLocale) + "\\win32"), "<missing>");
    EXPECT_NE(KeyValues(HKEY_CLASSES_ROOT, std::string(kTypeLibraryLocale) + "\\win64"), "<missing>");
    const std::set<std::string> both = RegistryLines();

    // The 32-bit module goes first: the 64-bit one keeps serving.
    ASSERT_EQ(RunRegsvr32(peer.path, true, peerRegsvr32), 0);
    EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, std::string(kTypeLibraryLocale) + "\\win32"), "<missing>");
    EXPECT_NE(KeyValues(HKEY_CLASSES_ROOT, std::string(kTypeLibraryLocale) + "\\win64"), "<missing>");
    ExpectTheRegisteredModuleServes("after-32-bit-unregistered");
    ASSERT_EQ(RunRegsvr32(own_, true), 0);
    EXPECT_EQ(Difference(before, RegistryLines()), "") << "both unregistered, the 32-bit one first";

    // The other order ends the same.
    ASSERT_EQ(RunRegsvr32(peer.path, false, peerRegsvr32), 0);
    ASSERT_EQ(RunRegsvr32(own_, false), 0);
    EXPECT_EQ(Difference(both, RegistryLines()), "") << "registered again, the same entries";
    ASSERT_EQ(RunRegsvr32(own_, true), 0);
    EXPECT_NE(KeyValues(HKEY_CLASSES_ROOT, std::string(kTypeLibraryLocale) + "\\win32"), "<missing>");
    EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, "PROTOCOLS\\Name-Space Handler\\http\\REZUrozuZudoviz"),
              "@ type 1: 'TQClickCatcher'\nCLSID type 1: '{E131C96E-4DDB-11D4-84B8-008048B33DEA}'\n"
              "Pattern1 type 1: ''\n")
        << "the 32-bit module still needs the shared handler entry";
    ASSERT_EQ(RunRegsvr32(peer.path, true, peerRegsvr32), 0);
    EXPECT_EQ(Difference(before, RegistryLines()), "") << "both unregistered, the 64-bit one first";
    return;
  }

  ASSERT_EQ(RunRegsvr32(own_, false), 0);
  ExpectTheRegisteredModuleServes("alone");
  ASSERT_EQ(RunRegsvr32(own_, true), 0);
  EXPECT_EQ(Difference(before, RegistryLines()), "") << kind << " registered and unregistered";
}

}  // namespace
}  // namespace vrpph::wine_tests
