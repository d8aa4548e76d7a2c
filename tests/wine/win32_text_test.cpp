// Win32Text on Wine's ANSI code page.
#include "platform/win32/win32_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vrpph::platform {
namespace {

class Win32TextWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The test prefix runs on Western European Windows; other code pages
    // would change what the byte-level cases expect.
    ASSERT_EQ(GetACP(), 1252u);
  }

  Win32Text text_;
};

TEST_F(Win32TextWineTest, WideToMultiByteSizesThenConverts) {
  const char16_t wide[] = u"caf\u00e9.zip";
  EXPECT_EQ(text_.WideToMultiByte(wide, nullptr, 0), 9);
  char out[16];
  std::memset(out, 'x', sizeof out);
  ASSERT_EQ(text_.WideToMultiByte(wide, out, sizeof out), 9);
  EXPECT_EQ(std::string(out, 9), std::string("caf\xe9.zip\0", 9));
}

TEST_F(Win32TextWineTest, WideToMultiByteReplacesWhatTheCodePageLacks) {
  char out[8] = {};
  ASSERT_EQ(text_.WideToMultiByte(u"a\u4e2db", out, sizeof out), 4);
  EXPECT_STREQ(out, "a?b");
}

TEST_F(Win32TextWineTest, WideToMultiByteFailsWhenTheBufferIsShort) {
  char out[4] = {};
  EXPECT_EQ(text_.WideToMultiByte(u"abcd", out, sizeof out), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(Win32TextWineTest, EmptyTextConvertsToTheTerminatorAlone) {
  char out[2] = {'x', 'x'};
  EXPECT_EQ(text_.WideToMultiByte(u"", out, sizeof out), 1);
  EXPECT_EQ(out[0], '\0');
  char16_t wide[2] = {u'x', u'x'};
  EXPECT_EQ(text_.MultiByteToWide("", wide, 2), 1);
  EXPECT_EQ(wide[0], u'\0');
}

TEST_F(Win32TextWineTest, MultiByteToWideSizesThenConverts) {
  EXPECT_EQ(text_.MultiByteToWide("caf\xe9", nullptr, 0), 5);
  char16_t out[8] = {};
  ASSERT_EQ(text_.MultiByteToWide("caf\xe9", out, 8), 5);
  EXPECT_EQ(std::u16string(out), u"caf\u00e9");
  EXPECT_EQ(text_.MultiByteToWide("caf\xe9", out, 4), 0);
}

TEST_F(Win32TextWineTest, UpperCaseUsesTheCodePageAndKeepsTheLength) {
  std::string name = "setup-v1.2_\xe9t\xe9.zip";
  text_.UpperCase(name);
  EXPECT_EQ(name, "SETUP-V1.2_\xc9T\xc9.ZIP");
}

TEST_F(Win32TextWineTest, UpperCaseCoversTheWholeStringPastAnEmbeddedNul) {
  std::string text("ab\0cd", 5);
  text_.UpperCase(text);
  EXPECT_EQ(text, std::string("AB\0CD", 5));
  std::string empty;
  text_.UpperCase(empty);
  EXPECT_EQ(empty, "");
}

TEST_F(Win32TextWineTest, ASingleByteCodePageHasNoLeadBytes) {
  for (unsigned byte : {0x00u, 0x41u, 0x81u, 0x9fu, 0xe0u, 0xffu}) {
    EXPECT_FALSE(text_.IsLeadByte(static_cast<unsigned char>(byte))) << byte;
  }
}

}  // namespace
}  // namespace vrpph::platform
