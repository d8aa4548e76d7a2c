#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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

}  // namespace
}  // namespace vrpph::testing
