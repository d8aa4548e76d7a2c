#include "bridge/host_status.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "bridge/bridge_host.h"
#include "settings/contact_points.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"

namespace vrpph::bridge {
namespace {

using platform::root::ClassesRoot;
using platform::root::CurrentUser;
using platform::root::LocalMachine;

constexpr const char* kServer = "CLSID\\{E131C96E-4DDB-11D4-84B8-008048B33DEA}\\InprocServer32";
constexpr const char* kServer32 = "Wow6432Node\\CLSID\\{E131C96E-4DDB-11D4-84B8-008048B33DEA}\\InprocServer32";

std::string Summary(const HostStatus& s) {
  std::ostringstream out;
  out << "program=" << s.programFound << " window=" << s.windowFound << " reg32=" << s.registered32
      << " reg64=" << s.registered64 << " noTypes=" << s.noTypes << " ctrlAlt=" << s.useCtrlAlt;
  return out.str();
}

// Every key and value of the roots a status looks at.
std::string Everything(testing::FakeRegistry& registry) {
  std::ostringstream out;
  for (platform::HKey root : {CurrentUser, LocalMachine, ClassesRoot}) {
    for (const auto& key : registry.Contents(root)) {
      out << root << '\\' << key.path << '\n';
      for (const auto& value : key.values) {
        out << "  " << value.name << ' ' << value.type << ' ' << std::string(value.bytes.begin(), value.bytes.end())
            << '\n';
      }
    }
  }
  return out.str();
}

// A 64-bit Windows: HKCR\CLSID seen apart by the two views.
struct World : testing::FakePlatform {
  World() { registry.SplitView(ClassesRoot, "CLSID", "Wow6432Node\\CLSID"); }
  void Main(const char* name, const std::string& text) {
    testing::SetString(registry, CurrentUser, keys::Main, name, text);
  }
};

TEST(BridgeStatusTest, TellsWhatItFindsAndWritesNothing) {
  using Setup = std::function<void(World&)>;
  const auto path = [](const char* p) { return [=](World& t) { t.Main(values::ProgramPath, p); }; };
  const auto types = [](const char* list) {
    return [=](World& t) { t.Main(values::AcceptingTypes, list); };
  };
  const auto window = [](const char* title) {
    return [=](World& t) { t.desktop.AddWindow(manager::WindowClass, title); };
  };
  const auto server = [](const char* key) {
    return [=](World& t) { testing::SetString(t.registry, ClassesRoot, key, "", "C:\\vrpph.dll"); };
  };
  const struct Case {
    const char* name;
    std::vector<Setup> setup;
    const char* expected;
  } cases[] = {
      {"nothing installed", {}, "program=0 window=0 reg32=0 reg64=0 noTypes=1 ctrlAlt=0"},
      {"installed, not running", {path("C:\\T\\TQP.EXE"), types("ZIP, ")},
       "program=1 window=0 reg32=0 reg64=0 noTypes=0 ctrlAlt=0"},
      {"an empty path starts nothing", {path("")}, "program=0 window=0 reg32=0 reg64=0 noTypes=1 ctrlAlt=0"},
      {"found by the uninstall entry, not stored",
       {[](World& t) {
          t.Main("Seed", "1");
          testing::SetString(t.registry, LocalMachine, keys::Uninstall, values::UninstallString,
                             "C:\\T\\tqp.exe /uninstall");
        }},
       "program=1 window=0 reg32=0 reg64=0 noTypes=1 ctrlAlt=0"},
      {"running under any title", {path("C:\\T\\TQP.EXE"), window("Whatever")},
       "program=1 window=1 reg32=0 reg64=0 noTypes=1 ctrlAlt=0"},
      {"ProgramTitle names another window", {window(manager::DefaultTitle), [](World& t) {
                                               t.Main(values::ProgramTitle, "Trevalon 2");
                                             }},
       "program=0 window=0 reg32=0 reg64=0 noTypes=1 ctrlAlt=0"},
      {"a window of another class", {[](World& t) { t.desktop.AddWindow("Other", "T"); }},
       "program=0 window=0 reg32=0 reg64=0 noTypes=1 ctrlAlt=0"},
      {"module in the 64-bit view", {server(kServer)}, "program=0 window=0 reg32=0 reg64=1 noTypes=1 ctrlAlt=0"},
      {"module in the 32-bit view", {server(kServer32)}, "program=0 window=0 reg32=1 reg64=0 noTypes=1 ctrlAlt=0"},
      {"module in both", {server(kServer), server(kServer32)},
       "program=0 window=0 reg32=1 reg64=1 noTypes=1 ctrlAlt=0"},
      {"a class key without its server", {[](World& t) {
         testing::SetString(t.registry, ClassesRoot, "CLSID\\{E131C96E-4DDB-11D4-84B8-008048B33DEA}", "", "x");
       }},
       "program=0 window=0 reg32=0 reg64=0 noTypes=1 ctrlAlt=0"},
      {"types empty", {types("")}, "program=0 window=0 reg32=0 reg64=0 noTypes=1 ctrlAlt=0"},
      {"types only separators", {types(", ,  ")}, "program=0 window=0 reg32=0 reg64=0 noTypes=1 ctrlAlt=0"},
      {"keys required", {types("EXE"), [](World& t) { t.Main(values::UseCtrlAlt, "TRUE"); }},
       "program=0 window=0 reg32=0 reg64=0 noTypes=0 ctrlAlt=1"},
      {"only TRUE in capitals", {[](World& t) { t.Main(values::UseCtrlAlt, "true"); }},
       "program=0 window=0 reg32=0 reg64=0 noTypes=1 ctrlAlt=0"},
  };
  for (const Case& c : cases) {
    World world;
    for (const Setup& setup : c.setup) setup(world);
    const std::string before = Everything(world.registry);
    const HostStatus status = ReadHostStatus(world.platform, "1.2.3.4");
    EXPECT_EQ(Summary(status), c.expected) << c.name;
    EXPECT_EQ(status.version, "1.2.3.4");
    EXPECT_EQ(Everything(world.registry), before) << c.name;
    EXPECT_EQ(world.registry.OpenHandleCount(), 0u) << c.name;
  }
}

TEST(BridgeStatusTest, HelloListsTheAcceptedTypesAsStored) {
  World world;
  EXPECT_EQ(ReadHelloInfo(world.registry, "v").acceptingTypes, std::vector<std::string>{}) << "absent";
  world.Main(values::AcceptingTypes, ",ZIP,,  exe , 7Z");
  EXPECT_EQ(ReadHelloInfo(world.registry, "v").acceptingTypes, (std::vector<std::string>{"ZIP", "exe", "7Z"}));
  world.Main(values::AcceptingTypes, ",,ZIP, ");
  EXPECT_EQ(ReadHelloInfo(world.registry, "v").acceptingTypes, std::vector<std::string>{})
      << "two leading separators: no entry, as every reader of the list sees it";
}

}  // namespace
}  // namespace vrpph::bridge
