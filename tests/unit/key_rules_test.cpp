#include "sequence/key_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/contact_points.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"

namespace vrpph {
namespace {

using testing::FakePlatform;
namespace vk = virtual_key;

constexpr unsigned kLeftButton = 0x01;
constexpr unsigned kCapsLock = 0x14;

class KeyRulesTest : public ::testing::Test {
 protected:
  bool Held(const char* valueName) {
    return KeyComboHeld(world.keyboard, SettingsKey::Main(world.registry), valueName);
  }
  bool Ignore() { return Held(values::KeysToIgnore); }
  bool Add() { return Held(values::KeysToAdd); }
  void Store(const char* valueName, std::vector<std::uint8_t> bytes,
             std::uint32_t type = platform::value_type::Binary) {
    testing::SetValue(world.registry, platform::root::CurrentUser, keys::Main, valueName, type, bytes);
  }

  FakePlatform world;
};

TEST_F(KeyRulesTest, DefaultsMatchShiftAloneAndCtrlAltAlone) {
  world.keyboard.Hold({vk::Shift, vk::LeftShift});
  EXPECT_TRUE(Ignore()) << "the generic code clears the whole Shift group";
  EXPECT_FALSE(Add());

  world.keyboard.Hold({vk::Control, vk::RightControl, vk::Menu, vk::LeftMenu});
  EXPECT_TRUE(Add());
  EXPECT_FALSE(Ignore());

  world.keyboard.Hold({vk::Shift, vk::Control, vk::Menu});
  EXPECT_FALSE(Ignore()) << "Ctrl and Alt are down too";
  EXPECT_FALSE(Add()) << "Shift is down too";
}

TEST_F(KeyRulesTest, EveryOtherEntryOfTheTableCounts) {
  world.keyboard.Hold({vk::Control, vk::Menu, kLeftButton});
  EXPECT_FALSE(Add()) << "a mouse button is down";

  world.keyboard.Hold({vk::Shift});
  world.keyboard.SetEntry(kCapsLock, 0x01);
  EXPECT_TRUE(Ignore()) << "a toggled Caps Lock is not down";

  world.keyboard.Hold({vk::LeftControl, vk::RightMenu});
  EXPECT_FALSE(Add()) << "the generic codes must be down themselves";
}

TEST_F(KeyRulesTest, StoredCombinationsReplaceTheDefaults) {
  Store(values::KeysToAdd, {vk::Control});
  world.keyboard.Hold({vk::Control});
  EXPECT_TRUE(Add());
  world.keyboard.Hold({vk::Control, vk::Menu});
  EXPECT_FALSE(Add());

  Store(values::KeysToAdd, {vk::Control, vk::Menu});
  EXPECT_TRUE(Add()) << "the order of the bytes does not matter";

  Store(values::KeysToAdd, {});
  EXPECT_TRUE(Add()) << "an empty value counts as absent";

  Store(values::KeysToIgnore, {vk::Menu, 0}, platform::value_type::Sz);
  world.keyboard.Hold({vk::Menu, 0});
  EXPECT_TRUE(Ignore()) << "whatever the stored type, the bytes are codes";
}

TEST_F(KeyRulesTest, CombinationsThatNameAKeyTwiceNeverHold) {
  Store(values::KeysToIgnore, {vk::Control, vk::Control});
  world.keyboard.Hold({vk::Control});
  EXPECT_FALSE(Ignore());

  Store(values::KeysToIgnore, {vk::Shift, vk::LeftShift});
  world.keyboard.Hold({vk::Shift, vk::LeftShift});
  EXPECT_FALSE(Ignore()) << "the generic code already cleared its left variant";
}

TEST_F(KeyRulesTest, EachTestTakesItsOwnSnapshot) {
  world.keyboard.Hold({vk::Shift});
  EXPECT_TRUE(Ignore());
  world.keyboard.Hold({});
  EXPECT_FALSE(Ignore());
  EXPECT_EQ(world.keyboard.SnapshotCount(), 2);
}

TEST_F(KeyRulesTest, NothingDownAnswersWithoutReadingTheRegistry) {
  Store(values::KeysToAdd, {vk::Control});
  world.keyboard.Hold({});
  const SettingsKey settings = SettingsKey::Main(world.registry);
  const auto calls = world.registry.CallCount();
  EXPECT_FALSE(KeyComboHeld(world.keyboard, settings, values::KeysToAdd));
  EXPECT_FALSE(KeyComboHeld(world.keyboard, settings, values::KeysToIgnore));
  EXPECT_EQ(world.registry.CallCount(), calls);
}

TEST(KeyComboRuleTest, WorksOnItsOwnCopyOfTheTable) {
  platform::KeyStateTable table{};
  table[vk::Shift] = 0x80;
  const std::uint8_t shift[] = {vk::Shift};
  EXPECT_TRUE(ComboHeld(table, shift));
  EXPECT_TRUE(ComboHeld(table, shift)) << "the caller's table is left as it was";
  EXPECT_EQ(table[vk::Shift], 0x80);
}

}  // namespace
}  // namespace vrpph
