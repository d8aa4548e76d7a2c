#include "sequence/auto_learn.h"

#include <gtest/gtest.h>

#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"

namespace vrpph {
namespace {

using platform::message_box::IdNo;
using platform::message_box::IdYes;
using testing::FakePlatform;

constexpr platform::WindowHandle kOwner = 0x4242;
const std::string kTurnOff = "Do you want to turn off Quorvane Trevalon integration for the '";
const std::string kTail = "' file extention?";
const std::string kHint = "/n/nYou can turn it on later using Ctrl+Alt click on a link.";
const std::string kTurnOn = "Do you want to turn on Quorvane Trevalon integration for the '";

class AutoLearnTest : public ::testing::Test {
 protected:
  void SetUp() override { Main(values::AutoLearn, "TRUE"); }
  void Main(const char* name, const std::string& text) {
    testing::SetString(world.registry, platform::root::CurrentUser, keys::Main, name, text);
  }
  void Localised(const char* id, const std::string& text) {
    testing::SetString(world.registry, platform::root::CurrentUser, keys::Strings, id, text);
  }
  std::optional<std::string> Accepting() {
    return SettingsKey::Main(world.registry).Text(values::AcceptingTypes);
  }
  void Answer(int button) { world.desktop.QueueMessageBoxAnswer(button); }
  const auto& Boxes() { return world.desktop.messageBoxes(); }

  FakePlatform world;
};

TEST_F(AutoLearnTest, TurnOffAsksWithTheExactTextAndRemovesOnYes) {
  Main(values::AcceptingTypes, "ZIP, EXE, ");
  Answer(IdYes);
  OfferTurnOff(world.platform, kOwner, "http://h/a.zip", std::nullopt);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].owner, kOwner);
  EXPECT_EQ(Boxes()[0].text, kTurnOff + "ZIP" + kTail + kHint);
  EXPECT_EQ(Boxes()[0].caption, "Quorvane Trevalon");
  EXPECT_EQ(Boxes()[0].style, 0x24u);
  EXPECT_EQ(Accepting(), "EXE, ");
}

TEST_F(AutoLearnTest, TurnOffRewritesAnyListFormCanonically) {
  Main(values::AcceptingTypes, "ZIP,EXE");
  Answer(IdYes);
  OfferTurnOff(world.platform, kOwner, "http://h/a.zip", std::nullopt);
  EXPECT_EQ(Accepting(), "EXE, ");
}

TEST_F(AutoLearnTest, TurnOffNamesTheFileNamesExtensionNotTheUrls) {
  // A '#' is a letter of a file name, not the start of a fragment.
  const struct {
    const char* url;
    const char* fileName;
  } rows[] = {
      {"http://h/QVREDIR.ASP?file=tool.zip", "tool.zip"},
      {"http://h/QVREDIR.ASP?file=a#b.zip", "a#b.zip"},
      {"http://h/QVREDIR.ASP?file=v1.2#b.zip", "v1.2#b.zip"},
      {"http://h/QVREDIR.ASP?file=.zip", ".zip"},
  };
  std::size_t asked = 0;
  for (const auto& row : rows) {
    Main(values::AcceptingTypes, "ZIP, ");
    Answer(IdYes);
    OfferTurnOff(world.platform, kOwner, row.url, std::string(row.fileName));
    ASSERT_EQ(Boxes().size(), ++asked) << row.fileName;
    EXPECT_EQ(Boxes().back().text, kTurnOff + "ZIP" + kTail + kHint) << row.fileName;
    EXPECT_EQ(Accepting(), "") << row.fileName;
  }
}

TEST_F(AutoLearnTest, TurnOffChangesNothingUnlessTheAnswerIsYesAndTheEntryIsThere) {
  Main(values::AcceptingTypes, "ZIP, EXE, ");
  Answer(IdNo);
  OfferTurnOff(world.platform, kOwner, "http://h/a.zip", std::nullopt);
  EXPECT_EQ(Accepting(), "ZIP, EXE, ");
  Main(values::AcceptingTypes, "EXE,zip");
  Answer(IdYes);
  OfferTurnOff(world.platform, kOwner, "http://h/a.zip", std::nullopt);
  EXPECT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Accepting(), "EXE,zip") << "not rewritten when nothing is removed";
}

TEST_F(AutoLearnTest, TurnOnAppendsTheUpperCasedExtension) {
  Main(values::AcceptingTypes, "ZIP, ");
  Answer(IdYes);
  OfferTurnOn(world.platform, kOwner, "http://h/a.rar");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, kTurnOn + "RAR" + kTail);
  EXPECT_EQ(Boxes()[0].style, 0x24u);
  EXPECT_EQ(Accepting(), "ZIP, RAR, ");

  Main(values::AcceptingTypes, "");
  Answer(IdYes);
  OfferTurnOn(world.platform, kOwner, "http://h/b.Rar");
  EXPECT_EQ(Accepting(), "RAR, ") << "a present empty list grows";

  Main(values::AcceptingTypes, "ZIP");
  Answer(IdYes);
  OfferTurnOn(world.platform, kOwner, "http://h/c.rar");
  EXPECT_EQ(Accepting(), "ZIP, RAR, ") << "the last stored entry stays whole";
}

TEST_F(AutoLearnTest, TurnOnIsNotOfferedForAcceptedAbsentOrEmptyExtensions) {
  Main(values::AcceptingTypes, "ZIP, ");
  OfferTurnOn(world.platform, kOwner, "http://h/a.zip");
  OfferTurnOn(world.platform, kOwner, "http://h/readme");
  OfferTurnOn(world.platform, kOwner, "http://h/file.");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Accepting(), "ZIP, ");

  testing::DeleteTree(world.registry, platform::root::CurrentUser, keys::Main);
  Main(values::AutoLearn, "TRUE");
  OfferTurnOn(world.platform, kOwner, "http://h/a.rar");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Accepting(), std::nullopt) << "an absent list is not created";
}

TEST_F(AutoLearnTest, OnlyAnExactTrueMakesOffers) {
  Main(values::AcceptingTypes, "ZIP, ");
  for (const char* setting : {"true", "TRUE ", "1"}) {
    Main(values::AutoLearn, setting);
    OfferTurnOff(world.platform, kOwner, "http://h/a.zip", std::nullopt);
    OfferTurnOn(world.platform, kOwner, "http://h/a.rar");
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(AutoLearnTest, LocalisedTextsReplaceTheBuiltInOnesAndAreCut) {
  Main(values::AcceptingTypes, "ZIP, ");
  Localised("132", "Aus fuer '");
  Localised("133", "'?");
  Localised("134", std::string(1500, 'h'));
  OfferTurnOff(world.platform, kOwner, "http://h/a.zip", std::nullopt);
  Localised("135", "An fuer '");
  OfferTurnOn(world.platform, kOwner, "http://h/a.rar");
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].text, "Aus fuer 'ZIP'?" + std::string(1023, 'h'));
  EXPECT_EQ(Boxes()[1].text, "An fuer 'RAR'?");
}

}  // namespace
}  // namespace vrpph
