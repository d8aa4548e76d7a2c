// Reads of stored values: one registry query for a value of up to 1 KB, a
// second only for a longer one, and the same bytes either way.
#include <gtest/gtest.h>

#include <string>

#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "support/fake_registry.h"
#include "support/registry_tools.h"

namespace vrpph {
namespace {

using platform::root::CurrentUser;

class SettingsReadsTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::SetString(registry, CurrentUser, keys::Main, "Other", "x"); }
  void TearDown() override { EXPECT_EQ(registry.OpenHandleCount(), 0u); }

  void Store(const char* name, std::uint32_t type, const std::string& bytes) {
    testing::SetValue(registry, CurrentUser, keys::Main, name, type, {bytes.begin(), bytes.end()});
  }
  // Registry calls made by `read`, the open and the close included.
  template <typename Read>
  std::size_t Calls(Read read) {
    const std::size_t before = registry.CallCount();
    read();
    return registry.CallCount() - before;
  }

  testing::FakeRegistry registry;
};

TEST_F(SettingsReadsTest, AValueThatFitsTakesOneQuery) {
  // Binary, so that the stored size is the text's own (a REG_SZ stored
  // without a terminator gains one).
  for (std::size_t size : {0u, 1u, 200u, 1023u, 1024u}) {
    const std::string text(size, 'Z');
    Store("Value", platform::value_type::Binary, text);
    std::optional<std::string> read;
    EXPECT_EQ(Calls([&] { read = SettingsKey::Main(registry).Text("Value").value; }), 3u) << size;
    EXPECT_EQ(read, text) << size;
    std::optional<std::vector<std::uint8_t>> bytes;
    EXPECT_EQ(Calls([&] { bytes = SettingsKey::Main(registry).Bytes("Value").value; }), 3u) << size;
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(text.begin(), text.end())) << size;
  }
}

TEST_F(SettingsReadsTest, ALongerValueIsReadAgainAtItsOwnSize) {
  for (std::size_t size : {1025u, 4096u, 1u << 20}) {
    std::string text(size, 'a');
    text.back() = 'z';
    Store("Value", platform::value_type::Binary, text);
    std::optional<std::string> read;
    EXPECT_EQ(Calls([&] { read = SettingsKey::Main(registry).Text("Value").value; }), 4u) << size;
    EXPECT_EQ(read, text) << size;
    std::optional<std::vector<std::uint8_t>> bytes;
    EXPECT_EQ(Calls([&] { bytes = SettingsKey::Main(registry).Bytes("Value").value; }), 4u) << size;
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(text.begin(), text.end())) << size;
  }
}

TEST_F(SettingsReadsTest, TextsEndAtTheirFirstNulAtAnySize) {
  for (std::size_t size : {3u, 1500u}) {
    std::string stored(size, 'b');
    stored[1] = '\0';
    Store("Value", platform::value_type::Sz, stored);
    EXPECT_EQ(SettingsKey::Main(registry).Text("Value").value, "b") << size;
    EXPECT_EQ(SettingsKey::Main(registry).Bytes("Value").value->size(), size + 1)
        << "bytes keep their NULs, the added one too";
  }
}

TEST_F(SettingsReadsTest, AMissingValueOrKeyReadsAsNothing) {
  EXPECT_EQ(SettingsKey::Main(registry).Text("Missing").value, std::nullopt);
  EXPECT_EQ(SettingsKey::Main(registry).Bytes("Missing").value, std::nullopt);
  const Setting<std::string> nowhere = SettingsKey::User(registry, "Software\\Nowhere").Text("Other");
  EXPECT_EQ(nowhere.value, std::nullopt);
  EXPECT_EQ(nowhere.status, platform::status::FileNotFound) << "the open's status";
}

// A value that grows between the two queries cannot be read whole: nothing,
// rather than a cut or stale text.
class GrowingRegistry : public testing::FakeRegistry {
 public:
  long QueryValue(platform::HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override {
    long rc = FakeRegistry::QueryValue(key, name, type, data, size);
    if (rc == platform::status::MoreData && !grown) {
      grown = true;
      testing::SetValue(*this, platform::root::CurrentUser, keys::Main, "Value", platform::value_type::Sz,
                        std::vector<std::uint8_t>(3000, 'g'));
    }
    return rc;
  }
  bool grown = false;
};

TEST(SettingsReadsRaceTest, AValueThatGrowsBetweenTheQueriesReadsAsNothing) {
  GrowingRegistry registry;
  testing::SetValue(registry, CurrentUser, keys::Main, "Value", platform::value_type::Sz,
                    std::vector<std::uint8_t>(2000, 'v'));
  EXPECT_EQ(SettingsKey::Main(registry).Text("Value").value, std::nullopt);
  EXPECT_TRUE(registry.grown);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace vrpph
