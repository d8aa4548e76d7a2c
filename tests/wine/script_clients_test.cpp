// Clients of the automation class against the registered vrpph.dll: scripts
// run by Wine's cscript (a web page's script reaches the class the same way)
// and a program, each of the module's own architecture, finding the class by
// its ProgID through what regsvr32 registered.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/win32/com_ref.h"
#include "platform/win32/win32_registry.h"
#include "settings/contact_points.h"
#include "support/registry_tools.h"
#include "vrpph_idl.h"
#include "wine/support/child_process.h"
#include "wine/support/owned_bstr.h"
#include "wine/support/registration_guard.h"
#include "wine/support/standin_manager.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using platform::root::CurrentUser;

constexpr DWORD kWait = 15000;

constexpr const char* kVbScript = R"(Set api = CreateObject("Vrpph.API")
result = api.DownloadFile(WScript.Arguments(0), WScript.Arguments(1), WScript.Arguments(2))
WScript.Echo "result=" & result & " type=" & TypeName(result)
)";

constexpr const char* kJScript = R"(var api = new ActiveXObject("Vrpph.API");
var result = api.DownloadFile(WScript.Arguments(0), WScript.Arguments(1), WScript.Arguments(2));
WScript.Echo("result=" + result + " type=" + typeof result);
)";

class ScriptClientWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::DeleteTree(registry_, CurrentUser, "Software\\Quorvane");
    ASSERT_EQ(RunRegsvr32(dll_, false), 0);
  }
  void TearDown() override {
    manager_.StopAll();
    testing::DeleteTree(registry_, CurrentUser, "Software\\Quorvane");
    DeleteFileA(script_.c_str());
  }
  // The prompt's remembered action, so that no dialog waits for a click.
  void Remember(const char* extension, DWORD action) {
    testing::SetDword(registry_, CurrentUser, keys::DefAction, extension, action);
  }
  // Runs `source` as a script file of type `extension` with three arguments.
  ChildRun RunScript(const char* source, const char* extension, const std::string& url, const std::string& referer,
                     const std::string& path) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    script_ = std::string(temp) + "vrpph client " + std::to_string(GetCurrentProcessId()) + extension;
    std::ofstream(script_, std::ios::binary) << source;
    return RunChild("cscript.exe //nologo " + Quoted(script_) + " " + Quoted(url) + " " + Quoted(referer) + " " +
                        Quoted(path),
                    60000);
  }

  const std::string dll_ = VrpphDllPath();
  platform::Win32Registry registry_;
  StandInManager manager_;
  RegistrationGuard guard_{[this] { RunRegsvr32(dll_, true); }};
  std::string script_;
};

TEST_F(ScriptClientWineTest, VbScriptSavesToItsPathThroughAManagerItStarts) {
  testing::SetString(registry_, CurrentUser, keys::Main, values::ProgramPath, manager_.ProgramPath());
  Remember("zip", 1);
  const ChildRun run = RunScript(kVbScript, ".vbs", "http://files.example/get/a%20b.zip?mirror=2",
                                 "http://files.example/page", "C:\\dl\\a b.zip");
  ASSERT_TRUE(run.finished) << run.output;
  EXPECT_TRUE(run.dialogs.empty()) << run.dialogs.front();
  EXPECT_EQ(run.output, "result=0 type=Integer\r\n");
  auto records = manager_.WaitForEntries("RECORD", 1, kWait);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].bytes,
            "URL=http://files.example/get/a b.zip?mirror=2\nReferer=http://files.example/page\nPath=C:\\dl\\a b.zip");
  auto starts = manager_.Entries("START");
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].bytes, " /Invisible");
}

TEST_F(ScriptClientWineTest, JScriptOpensThroughTheRunningManager) {
  ASSERT_TRUE(manager_.Launch(" /Invisible"));
  ASSERT_NE(StandInManager::WaitForWindow(kManagerClass, nullptr, kWait), nullptr);
  Remember("rar", 0);
  const ChildRun run = RunScript(kJScript, ".js", "ftp://server/pub/a.rar", "", "");
  ASSERT_TRUE(run.finished) << run.output;
  EXPECT_TRUE(run.dialogs.empty()) << run.dialogs.front();
  EXPECT_EQ(run.output, "result=0 type=number\r\n");
  auto records = manager_.WaitForEntries("RECORD", 1, kWait);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].bytes, "URL=ftp://server/pub/a.rar\nReferer=\nPath=OPEN");
}

// A script host is a local client, not a page: nothing tells the object its
// caller is untrusted, so the uninstaller starts.
TEST_F(ScriptClientWineTest, AScriptStartsTheUninstaller) {
  testing::SetString(registry_, CurrentUser, keys::Main, values::ProgramPath, manager_.ProgramPath());
  const ChildRun run = RunScript("CreateObject(\"Vrpph.API\").TQUninstall\r\n", ".vbs", "", "", "");
  ASSERT_TRUE(run.finished) << run.output;
  EXPECT_EQ(manager_.WaitForEntries("UNINSTALL", 1, kWait).size(), 1u);
}

TEST_F(ScriptClientWineTest, AProgramCreatesApiByItsProgIdAndTheManagerGetsTheRecord) {
  ASSERT_TRUE(manager_.Launch(" /Invisible"));
  ASSERT_NE(StandInManager::WaitForWindow(kManagerClass, nullptr, kWait), nullptr);
  Remember("msi", 0);
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  {
    CLSID classId{};
    ASSERT_EQ(CLSIDFromProgID(L"Vrpph.API", &classId), S_OK);
    EXPECT_TRUE(IsEqualCLSID(classId, CLSID_API));
    platform::ComRef<IAPI> api;
    ASSERT_EQ(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IAPI, reinterpret_cast<void**>(api.put())),
              S_OK);
    Bstr url(L"https://files.example/setup.msi"), referer(L"https://files.example/"), path(L"");
    short result = -1;
    ASSERT_EQ(api->DownloadFile(url.get(), referer.get(), path.get(), &result), S_OK);
    EXPECT_EQ(result, 0);
  }
  CoUninitialize();
  auto records = manager_.WaitForEntries("RECORD", 1, kWait);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].bytes, "URL=https://files.example/setup.msi\nReferer=https://files.example/\nPath=OPEN");
}

}  // namespace
}  // namespace vrpph::wine_tests
