// Registration of vrpph.dll as regsvr32 does it: both class scripts and the
// type library in, and out again without touching the platform's protocol
// handler keys.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "registration/win32/module_script.h"
#include "vrpph_idl.h"
#include "wine/support/registration_guard.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

constexpr const char* kPlugProtClass = "CLSID\\{E131C96E-4DDB-11D4-84B8-008048B33DEA}";
constexpr const char* kApiClass = "CLSID\\{8208D502-60BD-11D5-A6AE-008048B33DEA}";
constexpr const char* kLibrary = "TypeLib\\{E131C961-4DDB-11D4-84B8-008048B33DEA}";
constexpr const char* kPlugProtInterface = "Interface\\{E131C96D-4DDB-11D4-84B8-008048B33DEA}";
constexpr const char* kApiInterface = "Interface\\{8208D501-60BD-11D5-A6AE-008048B33DEA}";

std::string ShortPath(const std::string& path) {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

// The keys of a tree dump, without the 32-bit view that a 64-bit process
// sees under Wow6432Node: Wine links parts of it to this view, so the same
// keys would show there twice.
std::set<std::string> Lines(const std::string& text) {
  std::set<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Wow6432Node", 0) != 0) lines.insert(line);
  }
  return lines;
}

std::string Joined(const std::set<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string HandlerValues() {
  std::string values;
  for (const char* scheme : kHandlerSchemes) {
    values += KeyValues(HKEY_CLASSES_ROOT, std::string("PROTOCOLS\\Handler\\") + scheme);
  }
  return values;
}

std::string Text(const char* name, const std::string& text) { return std::string(name) + " type 1: '" + text + "'\n"; }
std::string Default(const std::string& text) { return Text("@", text); }

// Every key the two scripts write, with every value it holds afterwards.
struct ExpectedKey {
  std::string path;
  std::string values;
};

std::vector<ExpectedKey> ScriptTables(const std::string& server) {
  const std::string plugProt = "{E131C96E-4DDB-11D4-84B8-008048B33DEA}";
  const std::string api = "{8208D502-60BD-11D5-A6AE-008048B33DEA}";
  const std::string platformHandler = "{79eac9e2-baf9-11ce-8c82-00aa004ba90b}";
  std::vector<ExpectedKey> keys = {
      {"Vrpph.HTTPPlugProt.1", Default("HTTPPlugProt Class")},
      {"Vrpph.HTTPPlugProt.1\\CLSID", Default(plugProt)},
      {"Vrpph.HTTPPlugProt", Default("HTTPPlugProt Class")},
      {"Vrpph.HTTPPlugProt\\CLSID", Default(plugProt)},
      {"Vrpph.HTTPPlugProt\\CurVer", Default("Vrpph.HTTPPlugProt.1")},
      {kPlugProtClass, Default("HTTPPlugProt Class")},
      {std::string(kPlugProtClass) + "\\ProgID", Default("Vrpph.HTTPPlugProt.1")},
      {std::string(kPlugProtClass) + "\\VersionIndependentProgID", Default("Vrpph.HTTPPlugProt")},
      {std::string(kPlugProtClass) + "\\Programmable", ""},
      {std::string(kPlugProtClass) + "\\InprocServer32", Default(server) + Text("ThreadingModel", "Apartment")},
      {std::string(kPlugProtClass) + "\\TypeLib", Default("{E131C961-4DDB-11D4-84B8-008048B33DEA}")},
      {"Vrpph.API.1", Default("API Class")},
      {"Vrpph.API.1\\CLSID", Default(api)},
      {"Vrpph.API", Default("API Class")},
      {"Vrpph.API\\CLSID", Default(api)},
      {kApiClass, Default("API Class")},
      {std::string(kApiClass) + "\\ProgID", Default("Vrpph.API.1")},
      {std::string(kApiClass) + "\\VersionIndependentProgID", Default("Vrpph.API")},
      {std::string(kApiClass) + "\\InprocServer32", Default(server) + Text("ThreadingModel", "both")},
      {std::string(kApiClass) + "\\Implemented Categories", ""},
      {std::string(kApiClass) + "\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}", ""},
  };
  for (const char* scheme : kHandlerSchemes) {
    keys.push_back({std::string("PROTOCOLS\\Handler\\") + scheme,
                    Default(std::string(scheme) + ": Asychronous Pluggable Protocol Handler") +
                        Text("CLSID", platformHandler)});
    keys.push_back({std::string("PROTOCOLS\\Name-Space Handler\\") + scheme + "\\REZUrozuZudoviz",
                    Default("TQClickCatcher") + Text("CLSID", plugProt) + Text("Pattern1", "")});
  }
  return keys;
}

class RegistrationWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Whatever an earlier run left behind goes first.
    ASSERT_EQ(RunRegsvr32(dll_, true), 0);
  }

  const std::string dll_ = VrpphDllPath();
  RegistrationGuard guard_{[this] { RunRegsvr32(dll_, true); }};
};

TEST_F(RegistrationWineTest, RegsvrWritesEveryKeyAndValueOfBothScriptsAndTheTypeLibrary) {
  ASSERT_EQ(RunRegsvr32(dll_, false), 0);
  for (const ExpectedKey& key : ScriptTables(ShortPath(dll_))) {
    EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, key.path), key.values) << key.path;
  }
  EXPECT_EQ(KeyTree(HKEY_CLASSES_ROOT, kPlugProtClass), "InprocServer32\nProgID\nProgrammable\nTypeLib\n"
                                                        "VersionIndependentProgID\n");
  EXPECT_EQ(KeyTree(HKEY_CLASSES_ROOT, kApiClass),
            "Implemented Categories\nImplemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}\n"
            "InprocServer32\nProgID\nVersionIndependentProgID\n");

  // The library from the module file itself, its help folder beside it.
  EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, std::string(kLibrary) + "\\1.0"), Default("vrpph 1.0 Type Library"));
  EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, std::string(kLibrary) + "\\1.0\\409\\" + kTypeLibraryPlatform),
            Default(dll_));
  EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, std::string(kLibrary) + "\\1.0\\HELPDIR"), Default(FolderOf(dll_)));
  for (const char* iface : {kPlugProtInterface, kApiInterface}) {
    EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, std::string(iface) + "\\TypeLib"),
              Default("{E131C961-4DDB-11D4-84B8-008048B33DEA}") + Text("Version", "1.0"))
        << iface;
  }
  ITypeLib* library = nullptr;
  ASSERT_EQ(LoadRegTypeLib(LIBID_VRPPHLib, 1, 0, 0x0409, &library), S_OK);
  library->Release();
}

TEST_F(RegistrationWineTest, RegsvrUnregisterRemovesExactlyWhatRegistrationAdded) {
  const std::set<std::string> before = Lines(KeyTree(HKEY_CLASSES_ROOT, ""));
  ASSERT_EQ(RunRegsvr32(dll_, false), 0);
  const std::string handlers = HandlerValues();
  ASSERT_EQ(RunRegsvr32(dll_, true), 0);
  EXPECT_EQ(HandlerValues(), handlers) << "the platform's handler keys keep their texts and class ids";

  // Only the NoRemove scheme keys below the name-space handler key stay,
  // empty; every other key is gone again.
  const std::set<std::string> after = Lines(KeyTree(HKEY_CLASSES_ROOT, ""));
  std::set<std::string> added, removed;
  for (const std::string& key : after) {
    if (!before.count(key)) added.insert(key);
  }
  for (const std::string& key : before) {
    if (!after.count(key)) removed.insert(key);
  }
  EXPECT_EQ(Joined(removed), "");
  std::set<std::string> schemeKeys;
  for (const char* scheme : kHandlerSchemes) schemeKeys.insert(std::string("PROTOCOLS\\Name-Space Handler\\") + scheme);
  for (const std::string& key : added) EXPECT_TRUE(schemeKeys.count(key)) << key;
  for (const char* scheme : kHandlerSchemes) {
    EXPECT_EQ(KeyTree(HKEY_CLASSES_ROOT, std::string("PROTOCOLS\\Name-Space Handler\\") + scheme), "") << scheme;
  }
  EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, kLibrary), "<missing>");
  EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, kApiInterface), "<missing>");
}

}  // namespace
}  // namespace vrpph::wine_tests
