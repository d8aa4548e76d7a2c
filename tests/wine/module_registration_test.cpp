// The pieces registration takes from the module file: its scripts and type
// library resources, its short path, and the type library found in the
// module or in a ".tlb" file beside it.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registration/win32/module_script.h"
#include "registration/win32/type_library.h"
#include "vrpph_idl.h"
#include "wine/support/registration_guard.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

constexpr WORD kRussian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

std::string BinFolder() {
  const std::string dll = VrpphDllPath();
  return dll.substr(0, dll.find_last_of('\\') + 1);
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// A folder under %TEMP% with copies of files, removed with them at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + name + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    for (const std::string& file : files_) DeleteFileA(file.c_str());
    RemoveDirectoryA(path_.c_str());
  }
  // Copies `source` (a file beside the tests, or a full path) in as `name`;
  // its full path.
  std::string Copy(const std::string& source, const std::string& name) {
    const std::string target = path_ + name;
    const std::string from = source.find('\\') == std::string::npos ? BinFolder() + source : source;
    CopyFileA(from.c_str(), target.c_str(), FALSE);
    files_.push_back(target);
    return target;
  }
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::string> files_;
};

GUID LibraryId(ITypeLib* library) {
  TLIBATTR* attributes = nullptr;
  if (FAILED(library->GetLibAttr(&attributes))) return GUID_NULL;
  const GUID id = attributes->guid;
  library->ReleaseTLibAttr(attributes);
  return id;
}

TEST(ModuleResourcesWineTest, ScriptsAreStoredInRussianAndFoundWithoutALanguageAndTheLibraryInEnglish) {
  LoadedDll dll;
  ASSERT_NE(dll.get(), nullptr);
  for (int id : {101, 118}) {
    HRSRC plain = FindResourceA(dll.get(), MAKEINTRESOURCEA(id), "REGISTRY");
    ASSERT_NE(plain, nullptr) << id;
    EXPECT_EQ(FindResourceExA(dll.get(), "REGISTRY", MAKEINTRESOURCEA(id), kRussian), plain) << id;
    const char* text = static_cast<const char*>(LockResource(LoadResource(dll.get(), plain)));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, 4), "HKCR") << id;
  }
  EXPECT_NE(FindResourceExA(dll.get(), "TYPELIB", MAKEINTRESOURCEA(1), kEnglishUs), nullptr);
}

TEST(ModuleResourcesWineTest, AMissingScriptGivesTheLoadersErrorAndWritesNothing) {
  LoadedDll dll;
  ASSERT_NE(dll.get(), nullptr);
  EXPECT_EQ(RegisterFromScript(dll.get(), 117, true), HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, "Vrpph.API"), "<missing>");
}

TEST(ModuleRegistrationWineTest, AFolderWithBlanksIsRegisteredByItsShortPath) {
  TempFolder folder("vrpph registered copy");
  const std::string copy = folder.Copy("vrpph.dll", "vrpph.dll");
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(copy.c_str(), shortPath, MAX_PATH), 0u);
  ASSERT_EQ(std::string(shortPath).find(' '), std::string::npos) << shortPath;

  RegistrationGuard guard([&copy] { RunRegsvr32(copy, true); });
  ASSERT_EQ(RunRegsvr32(copy, false), 0);
  const std::string server = std::string("@ type 1: '") + shortPath + "'\n";
  EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, "CLSID\\{8208D502-60BD-11D5-A6AE-008048B33DEA}\\InprocServer32"),
            server + "ThreadingModel type 1: 'both'\n");
  EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, "CLSID\\{E131C96E-4DDB-11D4-84B8-008048B33DEA}\\InprocServer32"),
            server + "ThreadingModel type 1: 'Apartment'\n");
  // The type library keeps the module's own name: the platform's call, not
  // a script, writes it.
  EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT,
                      std::string("TypeLib\\{E131C961-4DDB-11D4-84B8-008048B33DEA}\\1.0\\409\\") + kTypeLibraryPlatform),
            "@ type 1: '" + copy + "'\n");
}

TEST(ModuleTypeLibraryWineTest, TheModulesOwnLibraryWinsOverAFileBesideIt) {
  TempFolder folder("vrpph tlb beside");
  const std::string module = folder.Copy("vrpph.dll", "vrpph.dll");
  // A type library, but another one: it must not be taken.
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  folder.Copy(std::string(system) + "\\stdole2.tlb", "vrpph.tlb");
  LoadedTypeLibrary loaded;
  ASSERT_EQ(LoadTypeLibraryBeside(Wide(module), loaded), S_OK);
  EXPECT_EQ(loaded.path, Wide(module));
  EXPECT_TRUE(IsEqualGUID(LibraryId(loaded.library.get()), LIBID_VRPPHLib));
}

TEST(ModuleTypeLibraryWineTest, AModuleWithoutOneFallsBackToTheTlbOfTheSameName) {
  TempFolder folder("vrpph.v1 fallback");
  const std::string module = folder.Copy("TQP.exe", "plain.dll");
  const std::string tlb = folder.Copy(VRPPH_TYPE_LIBRARY_NAME, "plain.tlb");
  LoadedTypeLibrary loaded;
  ASSERT_EQ(LoadTypeLibraryBeside(Wide(module), loaded), S_OK);
  EXPECT_EQ(loaded.path, Wide(tlb));
  EXPECT_TRUE(IsEqualGUID(LibraryId(loaded.library.get()), LIBID_VRPPHLib));

  // Without an extension the name gains one; the folder's dot is no
  // extension of the file.
  const std::string bare = folder.Copy("TQP.exe", "bare");
  const std::string bareTlb = folder.Copy(VRPPH_TYPE_LIBRARY_NAME, "bare.tlb");
  ASSERT_EQ(LoadTypeLibraryBeside(Wide(bare), loaded), S_OK);
  EXPECT_EQ(loaded.path, Wide(bareTlb));

  const std::string alone = folder.Copy("TQP.exe", "alone.dll");
  EXPECT_TRUE(FAILED(LoadTypeLibraryBeside(Wide(alone), loaded)));
  EXPECT_FALSE(loaded.library);
  EXPECT_TRUE(loaded.path.empty());
}

}  // namespace
}  // namespace vrpph::wine_tests
