// The version resource that Explorer and installers read from vrpph.dll.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/version.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

class VersionResourceWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = VrpphDllPath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << "no version resource in " << path;
    block_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block_.data()));
  }

  const VS_FIXEDFILEINFO* Fixed() {
    void* data = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block_.data(), "\\", &data, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
      return nullptr;
    }
    return static_cast<const VS_FIXEDFILEINFO*>(data);
  }

  // The string `name` of the first translation listed, or "<missing>".
  std::string String(const char* name) {
    void* data = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block_.data(), "\\VarFileInfo\\Translation", &data, &length) ||
        length < 2 * sizeof(WORD)) {
      return "<no translation>";
    }
    const WORD* translation = static_cast<const WORD*>(data);
    char query[96];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0],
                  translation[1], name);
    if (!VerQueryValueA(block_.data(), query, &data, &length) || length == 0) return "<missing>";
    return static_cast<const char*>(data);
  }

  std::vector<BYTE> block_;
};

TEST_F(VersionResourceWineTest, FixedPartNamesTheVersionOfADll) {
  const VS_FIXEDFILEINFO* info = Fixed();
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
  const DWORD high = MAKELONG(VRPPH_VERSION_MINOR, VRPPH_VERSION_MAJOR);
  const DWORD low = MAKELONG(VRPPH_VERSION_BUILD, VRPPH_VERSION_PATCH);
  EXPECT_EQ(info->dwFileVersionMS, high);
  EXPECT_EQ(info->dwFileVersionLS, low);
  EXPECT_EQ(info->dwProductVersionMS, high);
  EXPECT_EQ(info->dwProductVersionLS, low);
  EXPECT_EQ(info->dwFileType, static_cast<DWORD>(VFT_DLL));
  EXPECT_EQ(info->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(info->dwFileFlags & info->dwFileFlagsMask, 0u) << "no debug or pre-release flags";
}

TEST_F(VersionResourceWineTest, StringsDescribeTheModule) {
  EXPECT_EQ(String("FileVersion"), VRPPH_VERSION_TEXT);
  EXPECT_EQ(String("ProductVersion"), VRPPH_VERSION_TEXT);
  EXPECT_EQ(String("FileDescription"), VRPPH_FILE_DESCRIPTION);
  EXPECT_EQ(String("ProductName"), VRPPH_PRODUCT_NAME);
  EXPECT_EQ(String("Comments"), VRPPH_COMMENTS);
  EXPECT_EQ(String("OriginalFilename"), VRPPH_ORIGINAL_FILENAME);
  EXPECT_EQ(String("InternalName"), VRPPH_INTERNAL_NAME);
}

}  // namespace
}  // namespace vrpph::wine_tests
