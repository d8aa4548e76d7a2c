// The installer's registry rows: where each row of the modules' registration
// goes in the package, how it is written for wixl, and what the recording
// registry hands the generator.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "registry_rows/package_rows.h"
#include "registry_rows/registry_state.h"
#include "registry_rows/wix_rows.h"
#include "support/fake_registry.h"

namespace vrpph::packaging {
namespace {

RegistryRow Text(const std::string& key, const std::string& name, const std::string& text,
                 const std::string& root = "HKCR") {
  RegistryRow row{root, key, false, name, 1, std::vector<std::uint8_t>(text.begin(), text.end())};
  row.data.push_back(0);
  return row;
}

RegistryRow Key(const std::string& key) { return RegistryRow{"HKCR", key, true, {}, 0, {}}; }

std::string TextOf(const RegistryRow& row) { return std::string(row.data.begin(), row.data.end() - 1); }

ModuleRegistration Module(int bits) {
  const std::string tag = std::to_string(bits);
  return ModuleRegistration{
      PackagedModule{bits, "vrpph" + tag, "INSTALLDIR" + tag, "Z:\\build\\w" + tag + "\\bin\\vrpph.dll"}, {}, {}};
}

const PackageRow* Find(const std::vector<PackageRow>& rows, int bits, const std::string& key, const std::string& name) {
  for (const PackageRow& row : rows) {
    if (row.bits == bits && SameName(row.row.key, key) && SameName(row.row.name, name)) return &row;
  }
  return nullptr;
}

TEST(InstallerRowsPlacementTest, ScriptRowsKeptByUnregistrationAreLeftToThePlatformOrOnlyCreated) {
  ModuleRegistration module = Module(64);
  module.scripts = {{Text("Vrpph.API", "", "API Class"), false},
                    {Text("PROTOCOLS\\Handler\\http", "CLSID", "{79eac9e2}"), true},
                    {Key("PROTOCOLS\\Name-Space Handler\\http"), true},
                    {Key("CLSID\\{8208D502}\\Implemented Categories\\{7DD95801}"), false}};
  module.typeLibrary.own = {Text("TypeLib\\{E131C961}\\1.0", "", "vrpph 1.0 Type Library")};
  std::vector<PackageRow> rows;
  std::string error;
  ASSERT_TRUE(PlaceRows({module}, &rows, &error)) << error;

  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(Find(rows, 64, "Vrpph.API", "")->placement, Placement::Component);
  EXPECT_EQ(Find(rows, 64, "PROTOCOLS\\Handler\\http", "CLSID")->placement, Placement::Platform);
  const PackageRow* kept = Find(rows, 64, "PROTOCOLS\\Name-Space Handler\\http", "");
  EXPECT_EQ(kept->placement, Placement::Component);
  EXPECT_TRUE(kept->keptKey);
  EXPECT_FALSE(Find(rows, 64, "CLSID\\{8208D502}\\Implemented Categories\\{7DD95801}", "")->keptKey);
  EXPECT_EQ(Find(rows, 64, "TypeLib\\{E131C961}\\1.0", "")->placement, Placement::Component);
}

TEST(InstallerRowsPlacementTest, TypeLibraryRowsNameThePackagedFileAndFolderNotTheBuiltOnes) {
  ModuleRegistration module = Module(64);
  module.typeLibrary.own = {Text("TypeLib\\{L}\\1.0\\409\\win64", "", "Z:\\build\\w64\\bin\\vrpph.dll"),
                            Text("TypeLib\\{L}\\1.0\\HELPDIR", "", "Z:\\build\\w64\\bin\\"),
                            Text("TypeLib\\{L}\\1.0\\FLAGS", "", "8")};
  std::vector<PackageRow> rows;
  std::string error;
  ASSERT_TRUE(PlaceRows({module}, &rows, &error)) << error;
  EXPECT_EQ(TextOf(Find(rows, 64, "TypeLib\\{L}\\1.0\\409\\win64", "")->row), "[#vrpph64]");
  EXPECT_EQ(TextOf(Find(rows, 64, "TypeLib\\{L}\\1.0\\HELPDIR", "")->row), "[INSTALLDIR64]");
  EXPECT_EQ(TextOf(Find(rows, 64, "TypeLib\\{L}\\1.0\\FLAGS", "")->row), "8");

  // Any other text naming the build folder would install a path that does not exist.
  module.typeLibrary.own = {Text("TypeLib\\{L}\\1.0\\HELPDIR", "", "z:\\BUILD\\w64\\bin\\help")};
  rows.clear();
  EXPECT_FALSE(PlaceRows({module}, &rows, &error));
  EXPECT_NE(error.find("HELPDIR"), std::string::npos) << error;
}

TEST(InstallerRowsPlacementTest, AKeyBothViewsShareHoldsThe64BitModulesValueAlone) {
  ModuleRegistration module64 = Module(64), module32 = Module(32);
  module64.typeLibrary.own = {Text("TypeLib\\{L}\\1.0\\HELPDIR", "", "Z:\\build\\w64\\bin\\"),
                              Text("TypeLib\\{L}\\1.0\\FLAGS", "", "8")};
  module32.typeLibrary.own = {Text("TypeLib\\{L}\\1.0\\HELPDIR", "", "Z:\\build\\w32\\bin\\"),
                              Text("TypeLib\\{L}\\1.0\\FLAGS", "", "8")};
  // Below CLSID each view has its own key: different data is no conflict.
  module64.scripts = {{Text("CLSID\\{C}\\InprocServer32", "", "[!vrpph64]"), false}};
  module32.scripts = {{Text("clsid\\{C}\\InprocServer32", "", "[!vrpph32]"), false}};
  std::vector<PackageRow> rows;
  std::string error;
  ASSERT_TRUE(PlaceRows({module64, module32}, &rows, &error)) << error;
  EXPECT_EQ(Find(rows, 32, "TypeLib\\{L}\\1.0\\HELPDIR", "")->placement, Placement::SharedWith64);
  EXPECT_EQ(Find(rows, 64, "TypeLib\\{L}\\1.0\\HELPDIR", "")->placement, Placement::Component);
  EXPECT_EQ(Find(rows, 32, "TypeLib\\{L}\\1.0\\FLAGS", "")->placement, Placement::Component);
  EXPECT_EQ(Find(rows, 32, "CLSID\\{C}\\InprocServer32", "")->placement, Placement::Component);
}

TEST(InstallerRowsPlacementTest, ARowWrittenIntoTheOtherViewMustBeTheOtherComponentsRow) {
  ModuleRegistration module64 = Module(64), module32 = Module(32);
  module64.typeLibrary.own = {Text("Interface\\{I}", "", "IAPI")};
  module64.typeLibrary.other = {Text("Interface\\{I}", "", "IAPI")};
  std::vector<PackageRow> rows;
  std::string error;
  EXPECT_FALSE(PlaceRows({module64, module32}, &rows, &error));
  EXPECT_NE(error.find("Interface\\{I}"), std::string::npos) << error;

  module32.typeLibrary.own = {Text("Interface\\{I}", "", "IAPI")};
  rows.clear();
  ASSERT_TRUE(PlaceRows({module64, module32}, &rows, &error)) << error;
  int placedOther = 0;
  for (const PackageRow& row : rows) placedOther += row.otherView && row.placement == Placement::OtherComponent;
  EXPECT_EQ(placedOther, 1);

  module32.typeLibrary.own = {Text("Interface\\{I}", "", "IAPI2")};
  rows.clear();
  EXPECT_FALSE(PlaceRows({module64, module32}, &rows, &error));
}

std::vector<PackageRow> Placed(std::vector<RegistryRow> rows, int bits = 64) {
  std::vector<PackageRow> placed;
  for (RegistryRow& row : rows) placed.push_back(PackageRow{bits, false, Placement::Component, false, row});
  return placed;
}

TEST(InstallerRowsWixTest, WritesEachComponentRowOnceAsWixlReadsIt) {
  std::vector<PackageRow> rows = Placed({Text("Vrpph.API", "", "API \"&<Class>\""),
                                         Text("CLSID\\{C}\\InprocServer32", "ThreadingModel", "both"),
                                         Key("CLSID\\{C}\\Programmable")});
  rows.push_back(PackageRow{64, false, Placement::Component, true, Key("PROTOCOLS\\Name-Space Handler\\http")});
  rows.push_back(PackageRow{64, false, Placement::Component, false,
                            RegistryRow{"HKLM", "Software\\V", false, "Count", 4, {0x2a, 0x01, 0, 0}}});
  rows.push_back(PackageRow{64, false, Placement::Platform, false, Text("PROTOCOLS\\Handler\\http", "", "x")});
  rows.push_back(PackageRow{32, false, Placement::Component, false, Text("Vrpph.API", "", "API Class")});
  std::ostringstream out;
  std::string error;
  ASSERT_TRUE(WriteComponentRows(out, rows, 64, &error)) << error;
  const std::string text = out.str();
  const std::string expected =
      R"(  <RegistryValue Root="HKCR" Key="Vrpph.API" Type="string" Value="API &quot;&amp;&lt;Class&gt;&quot;"/>
  <RegistryValue Root="HKCR" Key="CLSID\{C}\InprocServer32" Name="ThreadingModel" Type="string" Value="both"/>
  <RegistryValue Root="HKCR" Key="CLSID\{C}\Programmable" Name="*" Type="string" Value=""/>
  <RegistryValue Root="HKCR" Key="PROTOCOLS\Name-Space Handler\http" Name="+" Type="string" Value=""/>
  <RegistryValue Root="HKLM" Key="Software\V" Name="Count" Type="integer" Value="298"/>
</Include>
)";
  ASSERT_GE(text.size(), expected.size());
  EXPECT_EQ(text.substr(text.size() - expected.size()), expected);
  EXPECT_EQ(text.rfind("<Include", 0), std::string::npos);  // the XML declaration comes first
  EXPECT_NE(text.find("<Include xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">"), std::string::npos);
}

TEST(InstallerRowsWixTest, RefusesWhatTheInstallerWouldReadOtherwise) {
  const struct {
    const char* why;
    RegistryRow row;
  } cases[] = {
      {"a bracket that is no reference", Text("K", "", "[a\\b]")},
      {"an empty reference", Text("K", "", "x[]")},
      {"an unclosed bracket", Text("K", "", "x[vrpph64")},
      {"a bracket in a key", Text("K[1]\\[", "", "x")},
      {"a wixl variable", Text("K", "", "$(var.Version)")},
      {"a leading # in data", Text("K", "", "#8")},
      {"an empty default value", Text("K", "", "")},
      {"binary data", RegistryRow{"HKCR", "K", false, "B", 3, {1, 2}}},
      {"a number of the wrong size", RegistryRow{"HKCR", "K", false, "N", 4, {1, 2}}},
      {"a text without its terminator", RegistryRow{"HKCR", "K", false, "T", 1, {'a'}}},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    std::string error;
    EXPECT_FALSE(WriteComponentRows(out, Placed({c.row}), 64, &error)) << c.why;
    EXPECT_FALSE(error.empty()) << c.why;
  }
  // What looks alike but is sound.
  std::ostringstream out;
  std::string error;
  EXPECT_TRUE(WriteComponentRows(out, Placed({Text("K", "", "[!vrpph64]"), Text("K", "N", ""), Text("K#", "M", "a#")}),
                                 64, &error))
      << error;
}

TEST(InstallerRowsWixTest, TheTableHoldsEveryRowOneALineAndRefusesABreakInAField) {
  std::vector<PackageRow> rows = Placed({Text("Vrpph.API", "", "API Class")});
  rows.push_back(PackageRow{32, true, Placement::OtherComponent, false, Key("Interface\\{I}")});
  rows.push_back(PackageRow{64, false, Placement::Component, true, Key("PROTOCOLS\\Name-Space Handler\\ftp")});
  std::ostringstream out;
  std::string error;
  ASSERT_TRUE(WriteRowTable(out, rows, &error)) << error;
  EXPECT_EQ(out.str(),
            "64\town\tcomponent\tHKCR\tVrpph.API\tvalue\t@\t1\tAPI Class\n"
            "32\tother\tother-component\tHKCR\tInterface\\{I}\tkey\t\t0\t\n"
            "64\town\tcomponent\tHKCR\tPROTOCOLS\\Name-Space Handler\\ftp\tkept-key\t\t0\t\n");

  for (const RegistryRow& bad : {Text("K", "", "a\tb"), Text("K", "a\nb", "x"), Text("K\r", "", "x")}) {
    std::ostringstream broken;
    EXPECT_FALSE(WriteRowTable(broken, Placed({bad}), &error)) << Describe(bad);
  }
}

TEST(InstallerRowsStateTest, RowsCompareByNameWithoutCaseAndByTypeAndData) {
  RegistryState before, after;
  AddRow(before, Text("PROTOCOLS\\Handler\\http", "CLSID", "{79EAC9E2}"));
  AddRow(before, Text("Typelib\\{L}", "", "old"));
  AddRow(before, Key("CLSID\\{C}\\Programmable"));
  AddRow(after, Text("Protocols\\handler\\HTTP", "clsid", "{79EAC9E2}"));
  AddRow(after, Text("TypeLib\\{L}", "", "new"));
  AddRow(after, Key("clsid\\{c}\\PROGRAMMABLE"));
  AddRow(after, RegistryRow{"HKCR", "CLSID\\{C}", false, "N", 4, {1, 0, 0, 0}});

  const std::vector<RegistryRow> added = RowsNotIn(after, before);
  ASSERT_EQ(added.size(), 2u);
  EXPECT_EQ(added[0].key, "CLSID\\{C}");
  EXPECT_EQ(TextOf(added[1]), "new");
  const std::vector<RegistryRow> removed = RowsNotIn(before, after);
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(TextOf(removed[0]), "old");
  EXPECT_EQ(Listing(removed, "- "), "- HKCR\\Typelib\\{L} | @ = 'old'\n");
  // A key sorts before its own values and the keys below it.
  EXPECT_LT(EntryKey(Key("A\\B")), EntryKey(Text("A\\B", "", "x")));
  EXPECT_LT(EntryKey(Text("A\\B", "z", "x")), EntryKey(Key("A\\B\\C")));
}

TEST(InstallerRowsRecordingTest, TheRecordingRegistryListsEachKeyBeforeItsSubkeysWithItsValues) {
  testing::FakeRegistry registry;
  platform::HKey key = 0;
  ASSERT_EQ(registry.CreateKey(platform::root::ClassesRoot, "b\\Sub", nullptr, platform::access::AllAccess, &key,
                               nullptr),
            platform::status::Success);
  const std::uint8_t text[] = {'v', 0};
  ASSERT_EQ(registry.SetValue(key, "Name", 1, text, sizeof text), platform::status::Success);
  ASSERT_EQ(registry.SetValue(key, "", 1, text, sizeof text), platform::status::Success);
  registry.CloseKey(key);
  ASSERT_EQ(registry.CreateKey(platform::root::ClassesRoot, "A", nullptr, platform::access::AllAccess, &key, nullptr),
            platform::status::Success);
  registry.CloseKey(key);

  const auto keys = registry.Contents(platform::root::ClassesRoot);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].path, "A");
  EXPECT_EQ(keys[1].path, "b");
  EXPECT_EQ(keys[2].path, "b\\Sub");
  ASSERT_EQ(keys[2].values.size(), 2u);
  EXPECT_EQ(keys[2].values[0].name, "");
  EXPECT_EQ(keys[2].values[1].name, "Name");
  EXPECT_EQ(keys[2].values[1].bytes, std::vector<std::uint8_t>(text, text + sizeof text));
  EXPECT_TRUE(registry.Contents(platform::root::LocalMachine).empty());
}

}  // namespace
}  // namespace vrpph::packaging
