#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "registration/fill_in_registry.h"
#include "registration/server_registration.h"
#include "support/registrar_fixture.h"

namespace vrpph::testing {
namespace {

std::string ReadScript(const char* name) {  // from tests/unit to src/resources
  std::ifstream file(std::filesystem::path(__FILE__).parent_path() / "../../src/resources" / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class RegistrationScriptsTest : public RegistrarTest {
 protected:
  void SetUp() override {
    for (std::string name : {"http", "https", "ftp"}) {
      SetString(registry, hkcr, "PROTOCOLS\\Handler\\" + name, nullptr,
                name + ": Asychronous Pluggable Protocol Handler");
      SetString(registry, hkcr, "PROTOCOLS\\Handler\\" + name, "CLSID", "{79eac9e2-baf9-11ce-8c82-00aa004ba90b}");
    }
    SetString(registry, hkcr, "CLSID\\{00000000-0000-0000-C000-000000000046}", nullptr, "not ours");
  }
  HResult Apply(bool doRegister) {
    const char* module = "C:\\PROGRA~1\\O'Neil\\VRPPH.DLL";
    HResult hr = RegisterClassScript(registry, text, ReadScript("http_plug_prot.rgs"), module, doRegister);
    return hr != hresult::Ok ? hr : RegisterClassScript(registry, text, ReadScript("api.rgs"), module, doRegister);
  }
  // Every key below HKCR in enumeration order, with its default and the named
  // values the scripts write: one line a key.
  std::string Dump(platform::HKey key = platform::root::ClassesRoot, const std::string& prefix = "") {
    std::string out, name;
    for (std::uint32_t i = 0; registry.EnumKey(key, i, &name, 300) == platform::status::Success; ++i) {
      platform::RegKey child = platform::OpenRegKey(registry, key, name.c_str(), platform::access::Read);
      out += prefix + name;
      for (const char* value : {"", "CLSID", "Pattern1", "ThreadingModel"}) {
        std::optional<StoredValue> v = GetValue(registry, child.get(), "", value);
        if (!v) continue;
        bool text = v->type == platform::value_type::Sz && !v->bytes.empty() && v->bytes.back() == 0;
        out += " " + std::string(value) + "=";
        out += text ? "'" + std::string(v->bytes.begin(), v->bytes.end() - 1) + "'" : "<not a terminated text>";
      }
      out += "\n" + Dump(child.get(), prefix + name + "\\");
    }
    return out;
  }

  const platform::HKey hkcr = platform::root::ClassesRoot;
};

TEST_F(RegistrationScriptsTest, RegisterWritesBothTablesAndUnregisterLeavesOnlyNoRemoveAndPlatformKeys) {
  const std::string before = Dump();
  ASSERT_EQ(Apply(true), hresult::Ok);
  EXPECT_EQ(Dump(), R"(CLSID
CLSID\{00000000-0000-0000-C000-000000000046} ='not ours'
CLSID\{8208D502-60BD-11D5-A6AE-008048B33DEA} ='API Class'
CLSID\{8208D502-60BD-11D5-A6AE-008048B33DEA}\Implemented Categories
CLSID\{8208D502-60BD-11D5-A6AE-008048B33DEA}\Implemented Categories\{7DD95801-9882-11CF-9FA9-00AA006C42C4}
CLSID\{8208D502-60BD-11D5-A6AE-008048B33DEA}\InprocServer32 ='C:\PROGRA~1\O'Neil\VRPPH.DLL' ThreadingModel='both'
CLSID\{8208D502-60BD-11D5-A6AE-008048B33DEA}\ProgID ='Vrpph.API.1'
CLSID\{8208D502-60BD-11D5-A6AE-008048B33DEA}\VersionIndependentProgID ='Vrpph.API'
CLSID\{E131C96E-4DDB-11D4-84B8-008048B33DEA} ='HTTPPlugProt Class'
CLSID\{E131C96E-4DDB-11D4-84B8-008048B33DEA}\InprocServer32 ='C:\PROGRA~1\O'Neil\VRPPH.DLL' ThreadingModel='Apartment'
CLSID\{E131C96E-4DDB-11D4-84B8-008048B33DEA}\ProgID ='Vrpph.HTTPPlugProt.1'
CLSID\{E131C96E-4DDB-11D4-84B8-008048B33DEA}\Programmable
CLSID\{E131C96E-4DDB-11D4-84B8-008048B33DEA}\TypeLib ='{E131C961-4DDB-11D4-84B8-008048B33DEA}'
CLSID\{E131C96E-4DDB-11D4-84B8-008048B33DEA}\VersionIndependentProgID ='Vrpph.HTTPPlugProt'
PROTOCOLS
PROTOCOLS\Handler
PROTOCOLS\Handler\ftp ='ftp: Asychronous Pluggable Protocol Handler' CLSID='{79eac9e2-baf9-11ce-8c82-00aa004ba90b}'
PROTOCOLS\Handler\http ='http: Asychronous Pluggable Protocol Handler' CLSID='{79eac9e2-baf9-11ce-8c82-00aa004ba90b}'
PROTOCOLS\Handler\https ='https: Asychronous Pluggable Protocol Handler' CLSID='{79eac9e2-baf9-11ce-8c82-00aa004ba90b}'
PROTOCOLS\Name-Space Handler
PROTOCOLS\Name-Space Handler\ftp
PROTOCOLS\Name-Space Handler\ftp\REZUrozuZudoviz ='TQClickCatcher' CLSID='{E131C96E-4DDB-11D4-84B8-008048B33DEA}' Pattern1=''
PROTOCOLS\Name-Space Handler\http
PROTOCOLS\Name-Space Handler\http\REZUrozuZudoviz ='TQClickCatcher' CLSID='{E131C96E-4DDB-11D4-84B8-008048B33DEA}' Pattern1=''
PROTOCOLS\Name-Space Handler\https
PROTOCOLS\Name-Space Handler\https\REZUrozuZudoviz ='TQClickCatcher' CLSID='{E131C96E-4DDB-11D4-84B8-008048B33DEA}' Pattern1=''
Vrpph.API ='API Class'
Vrpph.API\CLSID ='{8208D502-60BD-11D5-A6AE-008048B33DEA}'
Vrpph.API.1 ='API Class'
Vrpph.API.1\CLSID ='{8208D502-60BD-11D5-A6AE-008048B33DEA}'
Vrpph.HTTPPlugProt ='HTTPPlugProt Class'
Vrpph.HTTPPlugProt\CLSID ='{E131C96E-4DDB-11D4-84B8-008048B33DEA}'
Vrpph.HTTPPlugProt\CurVer ='Vrpph.HTTPPlugProt.1'
Vrpph.HTTPPlugProt.1 ='HTTPPlugProt Class'
Vrpph.HTTPPlugProt.1\CLSID ='{E131C96E-4DDB-11D4-84B8-008048B33DEA}'
)");
  for (int pass = 0; pass < 2; ++pass) {
    ASSERT_EQ(Apply(false), hresult::Ok);
    EXPECT_EQ(Dump(), before + R"(PROTOCOLS\Name-Space Handler
PROTOCOLS\Name-Space Handler\ftp
PROTOCOLS\Name-Space Handler\http
PROTOCOLS\Name-Space Handler\https
)");
  }
}

// One module's registration on a fake registry that models a 64-bit
// process's views: a 64-bit module works in the plain view and looks into
// the 32-bit one; a 32-bit module the other way round.
class FakeModule : public ServerRegistrationSteps {
 public:
  FakeModule(FakeRegistry& registry, const FakeText& text, bool is64Bit, std::string path)
      : registry_(registry),
        text_(text),
        ownView_(is64Bit ? 0 : platform::access::View32),
        otherView_(is64Bit ? platform::access::View32 : 0),
        path_(std::move(path)) {}

  HResult ApplyClassScript(int scriptId, bool doRegister) override {
    ViewRegistry own(registry_, ownView_);
    return RegisterClassScript(own, text_, ReadScript(ScriptFile(scriptId)), path_, doRegister);
  }
  HResult RegisterTypeLibrary() override { return hresult::Ok; }
  void UnregisterTypeLibrary() override {}
  bool OtherViewRegisters(int scriptId) override {
    const std::string key = std::string("CLSID\\") + ClassOf(scriptId) + "\\InprocServer32";
    return static_cast<bool>(platform::OpenRegKey(registry_, platform::root::ClassesRoot, key.c_str(),
                                                  platform::access::Read | otherView_));
  }
  void FillInOtherView(int scriptId) override {
    FillInRegistry fillIn(registry_, otherView_);
    EXPECT_EQ(RegisterClassScript(fillIn, text_, ReadScript(ScriptFile(scriptId)), path_, true), hresult::Ok);
  }

 private:
  static const char* ScriptFile(int scriptId) { return scriptId == 101 ? "http_plug_prot.rgs" : "api.rgs"; }
  static const char* ClassOf(int scriptId) {
    return scriptId == 101 ? "{E131C96E-4DDB-11D4-84B8-008048B33DEA}" : "{8208D502-60BD-11D5-A6AE-008048B33DEA}";
  }

  FakeRegistry& registry_;
  const FakeText& text_;
  std::uint32_t ownView_;
  std::uint32_t otherView_;
  std::string path_;
};

// Windows keeps CLSID apart and shares the ProgIDs; Wine 8 keeps both apart.
// Either way, unregistering one module leaves the other's registration as it
// was, and unregistering both leaves what unregistering one alone leaves.
TEST_F(RegistrationScriptsTest, TwoModulesInTwoViewsUnregisterWithoutBreakingEachOther) {
  constexpr int kScripts[] = {101, 118};
  for (bool progIdsApart : {false, true}) {
    SCOPED_TRACE(progIdsApart ? "ProgIDs apart, as in Wine" : "ProgIDs shared, as in Windows");
    registry.SplitView(hkcr, "CLSID", "Wow6432Node\\CLSID");
    if (progIdsApart) {
      for (const char* progId : {"Vrpph.HTTPPlugProt", "Vrpph.HTTPPlugProt.1", "Vrpph.API", "Vrpph.API.1"}) {
        registry.SplitView(hkcr, progId, std::string("Wow6432Node\\") + progId);
      }
    }
    SetString(registry, hkcr, "Wow6432Node\\CLSID\\{00000000-0000-0000-C000-000000000046}", nullptr, "not ours");
    FakeModule module32(registry, text, false, "C:\\PROGRA~2\\Quorvane\\vrpph\\VRPPH.DLL");
    FakeModule module64(registry, text, true, "C:\\PROGRA~1\\Quorvane\\vrpph\\VRPPH.DLL");

    ASSERT_EQ(RegisterServer(kScripts, module32), hresult::Ok);
    const std::string only32 = Dump();
    ASSERT_EQ(RegisterServer(kScripts, module64), hresult::Ok);
    const std::string both = Dump();
    ASSERT_EQ(UnregisterServer(kScripts, module64), hresult::Ok);
    EXPECT_EQ(Dump(), only32);
    ASSERT_EQ(UnregisterServer(kScripts, module32), hresult::Ok);
    const std::string afterBoth = Dump();

    ASSERT_EQ(RegisterServer(kScripts, module64), hresult::Ok);
    const std::string only64 = Dump();
    ASSERT_EQ(UnregisterServer(kScripts, module64), hresult::Ok);
    EXPECT_EQ(Dump(), afterBoth) << "alone, a module leaves what it always left";

    // The other order: the 64-bit module stays.
    ASSERT_EQ(RegisterServer(kScripts, module32), hresult::Ok);
    ASSERT_EQ(RegisterServer(kScripts, module64), hresult::Ok);
    EXPECT_EQ(Dump(), both);
    ASSERT_EQ(UnregisterServer(kScripts, module32), hresult::Ok);
    EXPECT_EQ(Dump(), only64);
    ASSERT_EQ(UnregisterServer(kScripts, module64), hresult::Ok);
    EXPECT_EQ(Dump(), afterBoth);
    DeleteTree(registry, hkcr, "Wow6432Node");
  }
}

}  // namespace
}  // namespace vrpph::testing
