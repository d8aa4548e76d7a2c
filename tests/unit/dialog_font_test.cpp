// The prompt font's height rule and description.
#include <gtest/gtest.h>

#include <string>

#include "prompt/dialog_font.h"
#include "support/fake_dialog_view.h"

namespace vrpph {
namespace {

TEST(DialogFontTest, HeightIsTheRoundedNegativePixelHeight) {
  EXPECT_EQ(DialogFontHeight(8, 96), -11);  // 10.67
  EXPECT_EQ(DialogFontHeight(9, 96), -12);
  EXPECT_EQ(DialogFontHeight(8, 120), -13);  // 13.33
  EXPECT_EQ(DialogFontHeight(0, 96), 0);
  EXPECT_EQ(DialogFontHeight(3, 96), -4);  // exactly 4
  EXPECT_EQ(DialogFontHeight(-8, 96), 11);
}

TEST(DialogFontTest, MulDivRoundsHalvesAwayFromZeroAndReportsOverflow) {
  EXPECT_EQ(MulDivRounded(3, 1, 2), 2);
  EXPECT_EQ(MulDivRounded(-3, 1, 2), -2);
  EXPECT_EQ(MulDivRounded(3, -1, 2), -2);
  EXPECT_EQ(MulDivRounded(3, 1, -2), -2);
  EXPECT_EQ(MulDivRounded(-3, 1, -2), 2);
  EXPECT_EQ(MulDivRounded(5, 1, 3), 2);
  EXPECT_EQ(MulDivRounded(1, 1, 0), -1);
  EXPECT_EQ(MulDivRounded(0x7FFFFFFF, 96, 72), -1);
  EXPECT_EQ(MulDivRounded(0x40000000, 2, 2), 0x40000000) << "the product may exceed 32 bits";
}

TEST(DialogFontTest, DescriptionCutsTheFaceNameAndKeepsTheLowCharsetByte) {
  const FontDescription long_name = DescribeDialogFont(std::string(31, 'a') + "bcd", 8, 96, 0xFFFFFF01u, false);
  EXPECT_EQ(std::string(long_name.faceName.data()), std::string(31, 'a'));
  EXPECT_EQ(long_name.faceName[31], '\0');
  EXPECT_EQ(long_name.charset, 1);

  const FontDescription exact = DescribeDialogFont(std::string(31, 'z'), 0, 96, 0, true);
  EXPECT_EQ(std::string(exact.faceName.data()), std::string(31, 'z'));
  EXPECT_TRUE(exact.underline);
  EXPECT_EQ(exact.height, 0);

  const FontDescription embedded = DescribeDialogFont(std::string("Ta\0homa", 7), 8, 96, 0, false);
  EXPECT_STREQ(embedded.faceName.data(), "Ta");
  EXPECT_EQ(embedded.faceName[3], '\0') << "nothing after the zero byte is copied";

  // A stored size with the top bit set is a negative int to the platform.
  EXPECT_EQ(DescribeDialogFont("x", 0xFFFFFFF8u, 96, 0, false).height, 11);
}

TEST(DialogFontTest, CreateDialogFontUsesTheViewsResolutionAndOwnsTheResult) {
  testing::FakeDialogView view;
  view.pixelsPerInch = 120;
  {
    ScopedFont font = CreateDialogFont(view, "Tahoma", 8, 204, false);
    ASSERT_NE(font.get(), 0u);
    ASSERT_EQ(view.madeFonts.size(), 1u);
    EXPECT_EQ(view.madeFonts[0].height, -13);
    EXPECT_EQ(view.madeFonts[0].charset, 204);
    ScopedFont moved = std::move(font);
    EXPECT_EQ(font.get(), 0u);
    EXPECT_EQ(view.LiveFonts(), 1u);
  }
  EXPECT_EQ(view.LiveFonts(), 0u);
  view.fontsFail = true;
  EXPECT_EQ(CreateDialogFont(view, "Tahoma", 8, 0, false).get(), 0u);
}

}  // namespace
}  // namespace vrpph
