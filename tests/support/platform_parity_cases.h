// Cases that every implementation of the registry and text seams must
// answer alike: run natively against the fakes and under Wine against both
// the fakes and the real API, so the fakes stay faithful.
//
// A World type holds members `registry` and `text`.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/wide_to_ansi.h"
#include "prompt/dialog_strings.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "support/registry_tools.h"

namespace vrpph::testing {

template <typename World>
class PlatformParity : public ::testing::Test {
 protected:
  static constexpr platform::HKey kUser = platform::root::CurrentUser;
  static constexpr const char* kScratch = "Software\\Quorvane\\Trevalon\\ParityScratch";

  void SetUp() override { DeleteTree(world.registry, kUser, "Software\\Quorvane"); }
  void TearDown() override { DeleteTree(world.registry, kUser, "Software\\Quorvane"); }

  std::optional<std::string> Read(const char* name) {
    return SettingsKey::Main(world.registry).Text(name);
  }
  void Store(const char* name, std::uint32_t type, std::vector<std::uint8_t> bytes) {
    SetValue(world.registry, kUser, keys::Main, name, type, bytes);
  }
  World world;
};

TYPED_TEST_SUITE_P(PlatformParity);

TYPED_TEST_P(PlatformParity, TextReadsFollowTheStoredBytes) {
  EXPECT_EQ(this->Read("UseCtrlAlt"), std::nullopt) << "missing key";
  EXPECT_EQ(SettingsKey::Main(this->world.registry).Text("UseCtrlAlt").status, platform::status::FileNotFound);
  this->Store("Other", platform::value_type::Sz, {'x', 0});
  EXPECT_EQ(this->Read("UseCtrlAlt"), std::nullopt) << "missing value";
  this->Store("Terminated", platform::value_type::Sz, {'a', 'b', 'c', 0});
  EXPECT_EQ(this->Read("Terminated"), "abc");
  this->Store("Unterminated", platform::value_type::Sz, {'a', 'b', 'c'});
  EXPECT_EQ(this->Read("Unterminated"), "abc");
  this->Store("Empty", platform::value_type::Sz, {});
  EXPECT_EQ(this->Read("Empty"), "");
  this->Store("Binary", platform::value_type::Binary, {'x', 'y'});
  EXPECT_EQ(this->Read("Binary"), "xy") << "the type is not checked";
  this->Store("Number", platform::value_type::Dword, {0x41, 0, 0, 0});
  EXPECT_EQ(this->Read("Number"), "A");
  std::string big(1 << 20, 'q');
  this->Store("Big", platform::value_type::Sz, std::vector<std::uint8_t>(big.begin(), big.end()));
  EXPECT_EQ(this->Read("Big"), big);
  EXPECT_EQ(this->Read("terminated"), "abc") << "value names ignore case";
  EXPECT_EQ(SettingsKey::User(this->world.registry, "SOFTWARE\\QUORVANE\\TREVALON").Text("Terminated").value, "abc");
}

TYPED_TEST_P(PlatformParity, WritesReportTheRegistrysStatusAndNeverCreateTheMainKey) {
  auto& registry = this->world.registry;
  const SettingsKey missing = SettingsKey::Main(registry, SettingsKey::Access::ReadWrite);
  EXPECT_EQ(missing.status(), platform::status::FileNotFound);
  EXPECT_EQ(missing.WriteText("OpenMode", "SAVE"), platform::status::FileNotFound);
  EXPECT_FALSE(KeyExists(registry, this->kUser, keys::Main));
  SetString(registry, this->kUser, keys::Main, "Seed", "1");
  const SettingsKey main = SettingsKey::Main(registry, SettingsKey::Access::ReadWrite);
  EXPECT_EQ(main.WriteText("OpenMode", "SAVE"), platform::status::Success);
  EXPECT_EQ(this->Read("OpenMode"), "SAVE");
  EXPECT_EQ(GetValue(registry, this->kUser, keys::Main, "OpenMode")->type, platform::value_type::Sz);
  EXPECT_EQ(main.WriteText("Blank", ""), platform::status::Success);
  EXPECT_EQ(this->Read("Blank"), "");
  EXPECT_EQ(SettingsKey::Main(registry).WriteText("OpenMode", "OPEN"), platform::status::AccessDenied)
      << "a key opened to read refuses writes";
}

TYPED_TEST_P(PlatformParity, NumbersFillLowBytesAndRefuseLongValues) {
  auto& registry = this->world.registry;
  auto number = [&registry](const char* name) { return SettingsKey::User(registry, keys::DefAction).Dword(name); };
  EXPECT_EQ(number("zip").status, platform::status::FileNotFound) << "missing key";
  SetDword(registry, this->kUser, keys::DefAction, "exe", 1);
  EXPECT_EQ(number("zip").value, std::nullopt) << "missing value";
  EXPECT_EQ(number("EXE").value, 1u);
  SetValue(registry, this->kUser, keys::DefAction, "short", platform::value_type::Dword, {1, 2});
  EXPECT_EQ(number("short").value, 0x0201u);
  SetValue(registry, this->kUser, keys::DefAction, "long", platform::value_type::Binary, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(number("long").value, std::nullopt);
  EXPECT_EQ(number("long").status, platform::status::MoreData);
  SetValue(registry, this->kUser, keys::DefAction, "text", platform::value_type::Sz, {'7', 0});
  EXPECT_EQ(number("text").value, 0x37u);
}

TYPED_TEST_P(PlatformParity, WrittenNumbersCreateTheirKey) {
  auto& registry = this->world.registry;
  EXPECT_EQ(SettingsKey::Create(registry, keys::DefAction).WriteDword("zip", 1), platform::status::Success);
  auto stored = GetValue(registry, this->kUser, keys::DefAction, "zip");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, platform::value_type::Dword);
  EXPECT_EQ(stored->bytes, (std::vector<std::uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(SettingsKey::Create(registry, keys::DefAction).WriteDword("zip", 0x01020304), platform::status::Success);
  EXPECT_EQ(SettingsKey::User(registry, keys::DefAction).Dword("ZIP").value, 0x01020304u);
}

TYPED_TEST_P(PlatformParity, BinaryReadsTakeWhateverBytesAreStored) {
  auto& registry = this->world.registry;
  auto bytes = [&registry](const char* name) { return SettingsKey::Main(registry).Bytes(name).value; };
  EXPECT_EQ(bytes("KeysToAdd"), std::nullopt);
  this->Store("KeysToAdd", platform::value_type::Binary, {});
  EXPECT_EQ(bytes("KeysToAdd"), std::vector<std::uint8_t>{});
  this->Store("KeysToAdd", platform::value_type::Binary, {0x12, 0x11});
  EXPECT_EQ(bytes("KeysToAdd"), (std::vector<std::uint8_t>{0x12, 0x11}));
  this->Store("KeysToIgnore", platform::value_type::Sz, {'a', 'b', 0});
  EXPECT_EQ(bytes("KeysToIgnore"), (std::vector<std::uint8_t>{'a', 'b', 0}));
}

TYPED_TEST_P(PlatformParity, DialogTextsStayInsideTheirBuffer) {
  auto& registry = this->world.registry;
  SetString(registry, this->kUser, keys::Strings, "137", "Datei");
  SetString(registry, this->kUser, keys::Strings, "138", "kurz");
  SetString(registry, this->kUser, keys::Strings, "huge", std::string(5000, 'h'));
  SetDword(registry, this->kUser, keys::Strings, "FontSize", 8);
  SetValue(registry, this->kUser, keys::Strings, "Charset", platform::value_type::Binary, {0xCC});
  const SettingsKey strings = SettingsKey::User(registry, keys::PromptStrings);
  ASSERT_TRUE(strings);

  DialogText text;
  ReadDialogText(strings, "137", text);
  EXPECT_STREQ(text.data(), "Datei");
  ReadDialogText(strings, "138", text);
  EXPECT_STREQ(text.data(), "kurz");
  EXPECT_EQ(text[5], '\0') << "no trace of the longer first text";
  ReadDialogText(strings, "missing", text);
  EXPECT_STREQ(text.data(), "");
  ReadDialogText(strings, "huge", text);
  EXPECT_EQ(std::string(text.data()), std::string(4095, 'h'));
  ReadDialogText(SettingsKey(), "137", text);
  EXPECT_STREQ(text.data(), "") << "no key open";
  EXPECT_EQ(strings.Dword("FontSize").value, 8u);
  EXPECT_EQ(strings.Dword("Charset").value, 0xCCu);
}

TYPED_TEST_P(PlatformParity, RegistryStatusCodesMatch) {
  auto& registry = this->world.registry;
  namespace status = platform::status;
  SetString(registry, this->kUser, this->kScratch, "v", "abcdef");
  SetString(registry, this->kUser, std::string(this->kScratch) + "\\Child\\Grandchild", "", "x");
  platform::RegKey key = platform::OpenRegKey(registry, this->kUser, this->kScratch, platform::access::AllAccess);
  ASSERT_TRUE(key);

  std::uint8_t small[2];
  std::uint32_t size = sizeof small;
  EXPECT_EQ(registry.QueryValue(key.get(), "v", nullptr, small, &size), status::MoreData);
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(registry.QueryValue(key.get(), "absent", nullptr, nullptr, &size), status::FileNotFound);
  EXPECT_EQ(registry.DeleteValue(key.get(), "absent"), status::FileNotFound);
  EXPECT_EQ(registry.DeleteKey(key.get(), "Child"), status::AccessDenied) << "still has a subkey";
  EXPECT_EQ(registry.DeleteKey(key.get(), "Nothing"), status::FileNotFound);
  std::string name;
  EXPECT_EQ(registry.EnumKey(key.get(), 0, &name, 4), status::MoreData);
  EXPECT_EQ(registry.EnumKey(key.get(), 0, &name, 256), status::Success);
  EXPECT_EQ(name, "Child");
  EXPECT_EQ(registry.EnumKey(key.get(), 1, &name, 256), status::NoMoreItems);
  std::uint32_t count = 0;
  EXPECT_EQ(registry.QuerySubkeyCount(key.get(), &count), status::Success);
  EXPECT_EQ(count, 1u);

  platform::RegKey child = platform::OpenRegKey(registry, key.get(), "CHILD\\grandchild", platform::access::Read);
  ASSERT_TRUE(child);
  EXPECT_EQ(registry.QueryValue(child.get(), "", nullptr, nullptr, &size), status::Success)
      << "empty name is the default value";
  EXPECT_EQ(registry.QueryValue(child.get(), nullptr, nullptr, nullptr, &size), status::Success);
  EXPECT_EQ(registry.DeleteKey(key.get(), "Child\\Grandchild"), status::Success);
  EXPECT_EQ(registry.QueryValue(child.get(), nullptr, nullptr, nullptr, &size), status::KeyDeleted);
  EXPECT_EQ(child.Reset(), status::Success);
}

TYPED_TEST_P(PlatformParity, HandlesOnlyDoWhatTheirAccessAllows) {
  auto& registry = this->world.registry;
  namespace status = platform::status;
  SetString(registry, this->kUser, std::string(this->kScratch) + "\\Existing", "v", "x");
  platform::RegKey reader = platform::OpenRegKey(registry, this->kUser, this->kScratch, platform::access::Read);
  ASSERT_TRUE(reader);
  const std::uint8_t byte = 'y';
  EXPECT_EQ(registry.SetValue(reader.get(), "v", platform::value_type::Sz, &byte, 1), status::AccessDenied);
  EXPECT_EQ(registry.DeleteValue(reader.get(), "v"), status::AccessDenied);
  // The parent's access does not limit its subkeys (Wine creates them too).
  platform::HKey handle{};
  ASSERT_EQ(registry.CreateKey(reader.get(), "Existing", nullptr, platform::access::AllAccess, &handle, nullptr),
            status::Success);
  platform::RegKey existing(registry, handle);
  EXPECT_EQ(registry.DeleteValue(existing.get(), "v"), status::Success);

  platform::RegKey writer = platform::OpenRegKey(registry, this->kUser, this->kScratch, platform::access::Write);
  ASSERT_TRUE(writer);
  std::uint32_t size = 0;
  EXPECT_EQ(registry.QueryValue(writer.get(), "v", nullptr, nullptr, &size), status::AccessDenied);
  std::string name;
  EXPECT_EQ(registry.EnumKey(writer.get(), 0, &name, 256), status::AccessDenied);
  EXPECT_EQ(registry.SetValue(writer.get(), "w", platform::value_type::Sz, &byte, 1), status::Success);
}

TYPED_TEST_P(PlatformParity, WideTextBecomesAnsiAsThePlatformConvertsIt) {
  const auto& text = this->world.text;
  EXPECT_EQ(WideToAnsi(text, nullptr), std::nullopt);
  EXPECT_EQ(WideToAnsi(text, u""), "");
  EXPECT_EQ(WideToAnsi(text, u"http://h/a.zip"), "http://h/a.zip");
  // Latin-1, a best-fit letter, the euro sign, a lone surrogate, a CJK
  // character and a surrogate pair (two replacement marks).
  const char16_t mixed[] = {u'a', 0x00E9, 0x0100, 0x20AC, 0xD800, u'z', 0x4E2D, 0xD83D, 0xDE00, 0};
  EXPECT_EQ(WideToAnsi(text, mixed), std::string("a\xE9" "A\x80?z???"));
}

TYPED_TEST_P(PlatformParity, UpperCasingFollowsTheCodePage) {
  std::string bytes = "abcXYZ09\xE0\xE9\xFF\x9A\x9C\xB5\xDF\xF7";
  this->world.text.UpperCase(bytes);
  EXPECT_EQ(bytes, "ABCXYZ09\xC0\xC9\x9F\x8A\x8C\xB5\xDF\xF7");
}

// The readable file name keeps a legacy byte only when the code page reads
// it back the same; every byte of 1252 does, the five it leaves undefined
// included, while a letter it lacks does not.
TYPED_TEST_P(PlatformParity, EveryByteOfTheCodePageSurvivesTheRoundTrip) {
  for (int byte = 1; byte <= 0xFF; ++byte) {
    const std::string ansi(1, static_cast<char>(byte));
    const std::optional<std::u16string> wide = AnsiToWide(this->world.text, ansi);
    ASSERT_TRUE(wide) << byte;
    EXPECT_EQ(ExactAnsi(this->world.text, *wide), ansi) << byte;
  }
  EXPECT_EQ(AnsiToWide(this->world.text, "\x80\x81\xDC"), std::u16string(u"\u20AC\u0081\u00DC"));
  EXPECT_EQ(ExactAnsi(this->world.text, u"\u0100"), std::nullopt) << "best fit to 'A' is no spelling";
  EXPECT_EQ(ExactAnsi(this->world.text, u"\u4E2D"), std::nullopt);
  EXPECT_FALSE(SpelledExactly(this->world.text, "?", u"\u4E2D"));
}

REGISTER_TYPED_TEST_SUITE_P(PlatformParity, TextReadsFollowTheStoredBytes,
                            WritesReportTheRegistrysStatusAndNeverCreateTheMainKey, NumbersFillLowBytesAndRefuseLongValues,
                            WrittenNumbersCreateTheirKey, BinaryReadsTakeWhateverBytesAreStored,
                            DialogTextsStayInsideTheirBuffer, RegistryStatusCodesMatch, HandlesOnlyDoWhatTheirAccessAllows,
                            WideTextBecomesAnsiAsThePlatformConvertsIt, UpperCasingFollowsTheCodePage,
                            EveryByteOfTheCodePageSurvivesTheRoundTrip);

}  // namespace vrpph::testing
