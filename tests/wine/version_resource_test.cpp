// The version resource that Explorer and installers read from vrpph.dll.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

class VersionResourceTest : public ::testing::Test {
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

TEST_F(VersionResourceTest, FixedPartNamesVersion1_0_0_76OfADll) {
  const VS_FIXEDFILEINFO* info = Fixed();
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(info->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(info->dwFileVersionLS, 0x0000004Cu);
  EXPECT_EQ(info->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(info->dwProductVersionLS, 0x0000004Cu);
  EXPECT_EQ(info->dwFileType, static_cast<DWORD>(VFT_DLL));
  EXPECT_EQ(info->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(info->dwFileFlags & info->dwFileFlagsMask, 0u) << "no debug or pre-release flags";
}

TEST_F(VersionResourceTest, StringsDescribeTheModule) {
  EXPECT_EQ(String("FileVersion"), "1, 0, 0, 76");
  EXPECT_EQ(String("ProductVersion"), "1, 0, 0, 76");
  EXPECT_EQ(String("FileDescription"), "vrpph Module");
  EXPECT_EQ(String("ProductName"), "vrpph Module");
  EXPECT_EQ(String("Comments"), "Browser download plugin");
  EXPECT_EQ(String("OriginalFilename"), "vrpph.DLL");
  EXPECT_EQ(String("InternalName"), "vrpph");
}

}  // namespace
}  // namespace vrpph::wine_tests
