// What the prompt's dialog shows when it opens: texts and font from the
// Strings key, the file line, the trackbar and the preselected choice.
#include <gtest/gtest.h>

#include <string>

#include "prompt/dialog_ids.h"
#include "prompt/prompt_dialog.h"
#include "settings/contact_points.h"
#include "support/fake_dialog_view.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"

namespace vrpph {
namespace {

using platform::root::CurrentUser;
namespace ctl = prompt_control;

class PromptDialogInitTest : public ::testing::Test {
 protected:
  void SetText(const char* id, const std::string& text) {
    testing::SetString(world.registry, CurrentUser, keys::PromptStrings, id, text);
  }
  void SetMain(const char* name, const std::string& text) {
    testing::SetString(world.registry, CurrentUser, keys::Main, name, text);
  }
  // Every localised text of the dialog, each named after its id.
  void SeedAllTexts() {
    for (const char* id : {"137", "138", "139", "140", "141", "142", "143", "45", "46", "11", "144", "237", "23",
                           "24", "25", "26"}) {
      SetText(id, std::string("t") + id);
    }
  }
  testing::FakeDialogView& Open(PromptDialogTexts texts = {"setup.exe", "example.com"}) {
    dialog = std::make_unique<DownloadPromptDialog>(view, world.platform, std::move(texts));
    EXPECT_EQ(dialog->HandleMessage(prompt_message::InitDialog, 0, 0), 0) << "the focus is set by the dialog";
    return view;
  }

  testing::FakePlatform world;
  testing::FakeDialogView view;
  std::unique_ptr<DownloadPromptDialog> dialog;
};

TEST_F(PromptDialogInitTest, LocalisedTextsFeedTheirControls) {
  SeedAllTexts();
  Open();
  EXPECT_EQ(view.caption, "t137");
  const std::pair<int, const char*> expected[] = {
      {ctl::Heading, "t138"},   {ctl::Question, "t140"}, {ctl::RunChoice, "t141"}, {ctl::SaveChoice, "t142"},
      {ctl::SpeedCaption, "t143"}, {ctl::Ok, "t45"},    {ctl::Cancel, "t46"},     {ctl::Advanced, "t11"},
      {ctl::About, "t144"},     {ctl::AlwaysAsk, "t237"}, {ctl::SpeedLabel, "t23"},
      {ctl::FileLine, "setup.exe t139 example.com"}};
  for (const auto& [control, text] : expected) EXPECT_EQ(view.texts[control], text) << control;
  EXPECT_EQ(view.texts[ctl::Speed], "Slider1") << "the trackbar has no text of its own";
}

TEST_F(PromptDialogInitTest, TextsAreSetInOrderAfterTheFontAndBeforeTheFileLine) {
  SeedAllTexts();
  Open();
  std::vector<std::string> texts;
  for (const auto& call : view.calls) {
    if (call.rfind("text", 0) == 0 || call == "caption" || call == "font" || call == "move") texts.push_back(call);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"move", "font", "caption", "text 210", "text 211", "text 1002",
                                             "text 1003", "text 1021", "text 1", "text 2", "text 203", "text 1007",
                                             "text 212", "text 202", "text 201"}));
}

TEST_F(PromptDialogInitTest, AKeyWithOnlyTheCaptionEmptiesTheOtherTexts) {
  SetText("137", "Datei herunterladen");
  Open();
  EXPECT_EQ(view.caption, "Datei herunterladen");
  for (int control : {ctl::Heading, ctl::Question, ctl::RunChoice, ctl::SaveChoice, ctl::SpeedCaption, ctl::Ok,
                      ctl::Cancel, ctl::Advanced, ctl::About, ctl::AlwaysAsk, ctl::SpeedLabel}) {
    EXPECT_EQ(view.texts[control], "") << control;
  }
  EXPECT_EQ(view.texts[ctl::FileLine], "setup.exe  example.com");
}

TEST_F(PromptDialogInitTest, WithoutTheStringsKeyTheTemplateTextsStay) {
  SetMain(values::SpeedMode, "2");
  Open();
  testing::FakeDialogView untouched;
  EXPECT_EQ(view.caption, "File download");
  for (int control : {ctl::Heading, ctl::Question, ctl::RunChoice, ctl::SaveChoice, ctl::SpeedCaption, ctl::Ok,
                      ctl::Cancel, ctl::Advanced, ctl::About, ctl::AlwaysAsk}) {
    EXPECT_EQ(view.texts[control], untouched.texts[control]) << control;
  }
  EXPECT_EQ(view.texts[ctl::FileLine], "setup.exe  example.com") << "two blanks around the missing joining word";
  EXPECT_EQ(view.texts[ctl::SpeedLabel], "") << "the template's \"Static\" never shows";
  EXPECT_EQ(view.trackbarPosition, 2);
  // The font is still made, from nothing, and applied.
  ASSERT_EQ(view.madeFonts.size(), 1u);
  EXPECT_EQ(view.madeFonts[0].height, 0);
  EXPECT_EQ(view.madeFonts[0].charset, 0);
  EXPECT_STREQ(view.madeFonts[0].faceName.data(), "");
  EXPECT_EQ(view.fontAssignments.size(), 12u);
}

TEST_F(PromptDialogInitTest, TheFontIsMadeOnceAndGivenToTwelveControlsInOrder) {
  SetText(values::FontName, "Tahoma");
  testing::SetDword(world.registry, CurrentUser, keys::PromptStrings, values::FontSize, 8);
  testing::SetDword(world.registry, CurrentUser, keys::PromptStrings, values::Charset, 0x1CC);
  Open();
  ASSERT_EQ(view.madeFonts.size(), 1u);
  const FontDescription& font = view.madeFonts[0];
  EXPECT_EQ(font.height, -11);
  EXPECT_EQ(font.charset, 0xCC) << "only the low byte of the character set";
  EXPECT_FALSE(font.underline);
  EXPECT_STREQ(font.faceName.data(), "Tahoma");
  std::vector<int> controls;
  for (const auto& [control, handle] : view.fontAssignments) {
    controls.push_back(control);
    EXPECT_EQ(handle, *view.liveFonts.begin());
  }
  EXPECT_EQ(controls, (std::vector<int>{210, 211, 1002, 1003, 1021, 1, 2, 203, 202, 1007, 201, 212}));
}

TEST_F(PromptDialogInitTest, OversizedFontValuesAreCutOrIgnoredNeverOverflowed) {
  SetText(values::FontName, std::string(40, 'F'));
  // Eight bytes where four belong, and a two-byte character set.
  testing::SetValue(world.registry, CurrentUser, keys::PromptStrings, values::FontSize, platform::value_type::Binary,
                    {9, 0, 0, 0, 1, 2, 3, 4});
  testing::SetValue(world.registry, CurrentUser, keys::PromptStrings, values::Charset, platform::value_type::Binary,
                    {0xA1, 0x07});
  Open();
  ASSERT_EQ(view.madeFonts.size(), 1u);
  EXPECT_EQ(std::string(view.madeFonts[0].faceName.data()), std::string(31, 'F'));
  EXPECT_EQ(view.madeFonts[0].height, 0) << "an oversized size reads as 0";
  EXPECT_EQ(view.madeFonts[0].charset, 0xA1) << "a short value fills the low bytes";
}

TEST_F(PromptDialogInitTest, ALocalisedTextLongerThanTheBufferIsCut) {
  const std::string heading = std::string(5000, 'h');
  SetText("138", heading);
  SetText("139", std::string(5000, 'j'));
  Open();
  EXPECT_EQ(view.texts[ctl::Heading], heading.substr(0, 4095));
  EXPECT_EQ(view.texts[ctl::FileLine], "setup.exe " + std::string(4095, 'j') + " example.com");
}

TEST_F(PromptDialogInitTest, NoFontMeansNoneIsDestroyedButTheDialogStillOpens) {
  view.fontsFail = true;
  Open();
  EXPECT_EQ(view.LiveFonts(), 0u);
  EXPECT_EQ(view.fontAssignments.size(), 12u) << "the controls get the null font, i.e. the system's";
  EXPECT_EQ(view.focus, ctl::RunChoice);
}

TEST_F(PromptDialogInitTest, TheDialogIsCentredWithTruncatingHalves) {
  view.screenSize = {1023, 767};
  view.dialogSize = {501, 381};
  Open();
  EXPECT_EQ(view.position, std::make_pair(511 - 250, 383 - 190));

  testing::FakeDialogView large;
  large.screenSize = {800, 600};
  large.dialogSize = {1001, 700};
  DownloadPromptDialog wide(large, world.platform, {});
  wide.HandleMessage(prompt_message::InitDialog, 0, 0);
  EXPECT_EQ(large.position, std::make_pair(400 - 500, 300 - 350)) << "off screen to the top left, as computed";
}

TEST_F(PromptDialogInitTest, TheTrackbarRangeIsSetMaximumFirst) {
  Open();
  std::vector<std::string> range;
  for (const auto& call : view.calls) {
    if (call.rfind("range", 0) == 0) range.push_back(call);
  }
  EXPECT_EQ(range, (std::vector<std::string>{"rangemax 3", "rangemin 0"}));
  EXPECT_EQ(view.checks[ctl::AlwaysAsk], 1) << "always-ask is checked at every opening";
}

TEST_F(PromptDialogInitTest, StoredSpeedModePlacesTheTrackbarWithItsLabel) {
  SeedAllTexts();
  const std::pair<const char*, std::pair<int, const char*>> cases[] = {
      {"2", {2, "t25"}},  {" +1", {1, "t24"}}, {"3abc", {3, "t26"}}, {"abc", {0, "t23"}},
      {"-4", {0, "t23"}}, {"7", {3, "t26"}},   {"99999999999", {3, "t26"}}};
  for (const auto& [stored, expected] : cases) {
    SetMain(values::SpeedMode, stored);
    testing::FakeDialogView fresh;
    DownloadPromptDialog opened(fresh, world.platform, {});
    opened.HandleMessage(prompt_message::InitDialog, 0, 0);
    EXPECT_EQ(fresh.trackbarPosition, expected.first) << stored;
    EXPECT_EQ(fresh.texts[ctl::SpeedLabel], expected.second) << stored;
  }
}

TEST_F(PromptDialogInitTest, SpeedModeParsesAsADecimalInteger) {
  EXPECT_EQ(ParseSpeedMode("2"), 2);
  EXPECT_EQ(ParseSpeedMode(" \t-3x"), -3);
  EXPECT_EQ(ParseSpeedMode("+"), 0);
  EXPECT_EQ(ParseSpeedMode(""), 0);
  EXPECT_EQ(ParseSpeedMode("1 2"), 1);
  EXPECT_EQ(ParseSpeedMode("99999999999"), INT_MAX);
  EXPECT_EQ(ParseSpeedMode("-99999999999"), INT_MIN);
}

TEST_F(PromptDialogInitTest, OnlyExactOpenPreselectsTheRunChoice) {
  const std::pair<std::optional<std::string>, int> cases[] = {{std::nullopt, ctl::RunChoice},
                                                              {"OPEN", ctl::RunChoice},
                                                              {"open", ctl::SaveChoice},
                                                              {"SAVE", ctl::SaveChoice},
                                                              {"", ctl::SaveChoice},
                                                              {"OPEN ", ctl::SaveChoice}};
  for (const auto& [stored, choice] : cases) {
    testing::DeleteTree(world.registry, CurrentUser, keys::Main);
    if (stored) SetMain(values::OpenMode, *stored);
    testing::FakeDialogView fresh;
    DownloadPromptDialog opened(fresh, world.platform, {});
    opened.HandleMessage(prompt_message::InitDialog, 0, 0);
    EXPECT_EQ(fresh.checks[choice], 1) << stored.value_or("(none)");
    EXPECT_EQ(fresh.CheckState(choice == ctl::RunChoice ? ctl::SaveChoice : ctl::RunChoice), 0);
    EXPECT_EQ(fresh.focus, choice);
  }
}

}  // namespace
}  // namespace vrpph
