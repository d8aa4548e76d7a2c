#include "sequence/window_probes.h"

#include <gtest/gtest.h>

#include <cctype>

#include "settings/contact_points.h"
#include "support/fake_platform.h"

namespace vrpph {
namespace {

using testing::FakeDesktop;

constexpr const char* kUrl = "http://h/a.zip";

FakeDesktop::CopyDataHandler Replies(std::intptr_t reply) {
  return [reply](std::uintptr_t, const std::string&) { return reply; };
}

class ClaimQueryTest : public ::testing::Test {
 protected:
  platform::WindowHandle Manager(std::intptr_t reply, const std::string& className = manager::WindowClass) {
    auto window = desktop.AddWindow(className, "any title");
    desktop.OnCopyData(window, Replies(reply));
    return window;
  }
  FakeDesktop desktop;
};

TEST_F(ClaimQueryTest, NoManagerWindowMeansNoClaimAndNoMessage) {
  desktop.AddWindow("Notepad", "x");
  EXPECT_FALSE(ManagerClaimsUrl(desktop, kUrl));
  EXPECT_TRUE(desktop.copyData().empty());
}

TEST_F(ClaimQueryTest, AsksEveryManagerWindowUntilOneAnswersOne) {
  auto first = Manager(0);
  desktop.AddWindow("Other", "");
  auto second = Manager(1);
  Manager(1);
  EXPECT_TRUE(ManagerClaimsUrl(desktop, kUrl));
  ASSERT_EQ(desktop.copyData().size(), 2u) << "the third window is not asked";
  EXPECT_EQ(desktop.copyData()[0].window, first);
  EXPECT_EQ(desktop.copyData()[1].window, second);
  for (const auto& sent : desktop.copyData()) {
    EXPECT_EQ(sent.dwData, 1u);
    EXPECT_EQ(sent.bytes, kUrl) << "the URL's bytes without a terminator";
    EXPECT_EQ(sent.timeoutMs, 5000u);
  }
}

TEST_F(ClaimQueryTest, OnlyAReplyOfOneClaims) {
  Manager(2);
  Manager(-1);
  EXPECT_FALSE(ManagerClaimsUrl(desktop, kUrl));
  EXPECT_EQ(desktop.copyData().size(), 2u);
}

TEST_F(ClaimQueryTest, ClassNamesAreMatchedAsCaseSensitiveSubstrings) {
  std::string lower = manager::WindowClass;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  Manager(1, lower);
  EXPECT_FALSE(ManagerClaimsUrl(desktop, kUrl));
  Manager(1, std::string("Afx:") + manager::WindowClass + ":8");
  EXPECT_TRUE(ManagerClaimsUrl(desktop, kUrl));
}

TEST_F(ClaimQueryTest, AHungWindowIsNoClaimAndTheSearchGoesOn) {
  auto hung = Manager(1);
  desktop.SetHung(hung, true);
  EXPECT_FALSE(ManagerClaimsUrl(desktop, kUrl));
  Manager(1);
  EXPECT_TRUE(ManagerClaimsUrl(desktop, kUrl));
}

class AddressBarTest : public ::testing::Test {
 protected:
  // A browser frame with a toolbar, a combo box and an edit field inside it.
  platform::WindowHandle Browser(const std::string& address, const std::string& comboClass = "ComboBoxEx32") {
    auto frame = desktop.AddWindow("IEFrame", "Browser");
    auto bar = desktop.AddWindow("ReBarWindow32", "", frame);
    auto combo = desktop.AddWindow(comboClass, "", bar);
    desktop.AddWindow("Edit", "", combo, address);
    desktop.SetForeground(frame);
    return frame;
  }
  FakeDesktop desktop;
};

TEST_F(AddressBarTest, ReadsTheEditFieldOfTheComboBoxInTheFrontFrame) {
  Browser("http://site/page.html");
  EXPECT_EQ(AddressBarText(desktop), "http://site/page.html");
}

TEST_F(AddressBarTest, AnEmptyFieldGivesAnEmptyText) {
  Browser("");
  EXPECT_EQ(AddressBarText(desktop), "");
}

TEST_F(AddressBarTest, NoneWithoutABrowserFrameInFront) {
  EXPECT_EQ(AddressBarText(desktop), std::nullopt) << "no foreground window";
  Browser("http://site/");
  desktop.SetForeground(desktop.AddWindow("#32770", manager::MessageCaption));
  EXPECT_EQ(AddressBarText(desktop), std::nullopt);
}

TEST_F(AddressBarTest, EditFieldsOutsideAComboBoxAreSkipped) {
  auto frame = Browser("http://site/", "ComboBox");
  // Found first in enumeration order, but not inside a combo box.
  auto panel = desktop.AddWindow("Shell DocObject View", "", frame);
  desktop.AddWindow("Edit", "", panel, "search words");
  EXPECT_EQ(AddressBarText(desktop), "http://site/");
}

TEST_F(AddressBarTest, TheFirstQualifyingFieldDecidesAndRichEditCounts) {
  auto frame = desktop.AddWindow("IEFrame", "");
  auto combo = desktop.AddWindow("ComboBox", "", frame);
  desktop.AddWindow("Static", "", combo, "label");
  desktop.AddWindow("RichEdit20A", "", combo, "first");
  desktop.AddWindow("Edit", "", combo, "second");
  desktop.SetForeground(frame);
  EXPECT_EQ(AddressBarText(desktop), "first");
}

}  // namespace
}  // namespace vrpph
