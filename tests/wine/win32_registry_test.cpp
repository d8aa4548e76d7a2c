// Win32Registry against Wine's real registry, in a scratch key under
// HKEY_CURRENT_USER that each test creates and removes.
#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace vrpph::platform {
namespace {

constexpr char kScratchParent[] = "Software\\vrpph-tests";

class Win32RegistryWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::string(kScratchParent) + "\\" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RegDeleteTreeA(HKEY_CURRENT_USER, scratch_.c_str());
    ASSERT_EQ(registry_.CreateKey(root::CurrentUser, scratch_.c_str(), nullptr, access::AllAccess,
                                  &key_, nullptr),
              status::Success);
  }

  void TearDown() override {
    if (key_) registry_.CloseKey(key_);
    RegDeleteTreeA(HKEY_CURRENT_USER, scratch_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchParent);  // only once empty
  }

  long SetString(const char* name, const std::string& text) {
    return registry_.SetValue(key_, name, value_type::Sz,
                              reinterpret_cast<const std::uint8_t*>(text.c_str()),
                              static_cast<std::uint32_t>(text.size() + 1));
  }

  Win32Registry registry_;
  std::string scratch_;
  HKey key_{};
};

TEST_F(Win32RegistryWineTest, PredefinedRootsAreRealHandles) {
  HKey software{};
  ASSERT_EQ(registry_.OpenKey(root::CurrentUser, "Software", access::Read, &software),
            status::Success);
  EXPECT_NE(software, HKey{});
  EXPECT_EQ(registry_.CloseKey(software), status::Success);
}

TEST_F(Win32RegistryWineTest, OpeningAMissingKeyFailsWithFileNotFound) {
  HKey missing = 12345;
  EXPECT_EQ(registry_.OpenKey(key_, "Missing", access::Read, &missing), status::FileNotFound);
  EXPECT_EQ(missing, HKey{});
}

TEST_F(Win32RegistryWineTest, OpeningAnEmptyPathGivesANewHandleToTheSameKey) {
  ASSERT_EQ(SetString("Name", "value"), status::Success);
  HKey again{};
  ASSERT_EQ(registry_.OpenKey(key_, "", access::Read, &again), status::Success);
  EXPECT_NE(again, key_);
  std::uint32_t size = 0;
  EXPECT_EQ(registry_.QueryValue(again, "Name", nullptr, nullptr, &size), status::Success);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(registry_.CloseKey(again), status::Success);
}

TEST_F(Win32RegistryWineTest, CreateReportsWhetherTheKeyIsNew) {
  HKey child{};
  bool created = false;
  ASSERT_EQ(registry_.CreateKey(key_, "Child", nullptr, access::AllAccess, &child, &created),
            status::Success);
  EXPECT_TRUE(created);
  EXPECT_EQ(registry_.CloseKey(child), status::Success);

  ASSERT_EQ(registry_.CreateKey(key_, "Child", nullptr, access::AllAccess, &child, &created),
            status::Success);
  EXPECT_FALSE(created);
  EXPECT_EQ(registry_.CloseKey(child), status::Success);
}

TEST_F(Win32RegistryWineTest, CreateMakesEveryMissingLevel) {
  HKey deep{};
  ASSERT_EQ(registry_.CreateKey(key_, "A\\B\\C", nullptr, access::AllAccess, &deep, nullptr),
            status::Success);
  EXPECT_EQ(registry_.CloseKey(deep), status::Success);
  RegKey opened = OpenRegKey(registry_, key_, "A\\B", access::Read);
  ASSERT_TRUE(opened);
  std::uint32_t count = 99;
  EXPECT_EQ(registry_.QuerySubkeyCount(opened.get(), &count), status::Success);
  EXPECT_EQ(count, 1u);
}

TEST_F(Win32RegistryWineTest, StringValueRoundTripsWithItsTerminator) {
  ASSERT_EQ(SetString("Text", "ZIP, EXE, "), status::Success);
  std::uint32_t type = 0;
  std::uint8_t data[32];
  std::memset(data, 'x', sizeof data);
  std::uint32_t size = sizeof data;
  ASSERT_EQ(registry_.QueryValue(key_, "Text", &type, data, &size), status::Success);
  EXPECT_EQ(type, value_type::Sz);
  EXPECT_EQ(size, 11u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), std::string("ZIP, EXE, \0", 11));
}

TEST_F(Win32RegistryWineTest, SizeQueriesAndShortBuffersReportTheSizeNeeded) {
  ASSERT_EQ(SetString("Text", "abcdef"), status::Success);
  std::uint32_t size = 0;
  EXPECT_EQ(registry_.QueryValue(key_, "Text", nullptr, nullptr, &size), status::Success);
  EXPECT_EQ(size, 7u);

  std::uint8_t shortBuffer[3] = {};
  size = sizeof shortBuffer;
  std::uint32_t type = 0;
  EXPECT_EQ(registry_.QueryValue(key_, "Text", &type, shortBuffer, &size), status::MoreData);
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(type, value_type::Sz);
}

TEST_F(Win32RegistryWineTest, DwordValueKeepsItsTypeAndBytes) {
  const std::uint8_t bytes[4] = {0x78, 0x56, 0x34, 0x12};
  ASSERT_EQ(registry_.SetValue(key_, "Number", value_type::Dword, bytes, 4), status::Success);
  std::uint32_t type = 0;
  std::uint32_t value = 0;
  std::uint32_t size = sizeof value;
  ASSERT_EQ(registry_.QueryValue(key_, "Number", &type, reinterpret_cast<std::uint8_t*>(&value),
                                 &size),
            status::Success);
  EXPECT_EQ(type, value_type::Dword);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(value, 0x12345678u);
}

TEST_F(Win32RegistryWineTest, NullAndEmptyNamesBothMeanTheDefaultValue) {
  ASSERT_EQ(SetString(nullptr, "default"), status::Success);
  char data[16] = {};
  std::uint32_t size = sizeof data;
  ASSERT_EQ(registry_.QueryValue(key_, "", nullptr, reinterpret_cast<std::uint8_t*>(data), &size),
            status::Success);
  EXPECT_STREQ(data, "default");
  EXPECT_EQ(registry_.DeleteValue(key_, ""), status::Success);
  EXPECT_EQ(registry_.QueryValue(key_, nullptr, nullptr, nullptr, &size), status::FileNotFound);
}

TEST_F(Win32RegistryWineTest, DeletedAndMissingValuesAreNotFound) {
  ASSERT_EQ(SetString("Gone", "soon"), status::Success);
  EXPECT_EQ(registry_.DeleteValue(key_, "Gone"), status::Success);
  std::uint32_t size = 0;
  EXPECT_EQ(registry_.QueryValue(key_, "Gone", nullptr, nullptr, &size), status::FileNotFound);
  EXPECT_EQ(registry_.DeleteValue(key_, "Gone"), status::FileNotFound);
}

TEST_F(Win32RegistryWineTest, DeleteKeyRefusesAKeyWithSubkeys) {
  HKey child{};
  ASSERT_EQ(registry_.CreateKey(key_, "Parent\\Child", nullptr, access::AllAccess, &child, nullptr),
            status::Success);
  ASSERT_EQ(registry_.CloseKey(child), status::Success);
  EXPECT_EQ(registry_.DeleteKey(key_, "Parent"), status::AccessDenied);
  EXPECT_EQ(registry_.DeleteKey(key_, "Parent\\Child"), status::Success);
  EXPECT_EQ(registry_.DeleteKey(key_, "Parent"), status::Success);
  EXPECT_EQ(registry_.DeleteKey(key_, "Parent"), status::FileNotFound);
}

TEST_F(Win32RegistryWineTest, EnumerationListsSubkeysAndEndsWithNoMoreItems) {
  for (const char* name : {"http", "https", "ftp"}) {
    HKey child{};
    ASSERT_EQ(registry_.CreateKey(key_, name, nullptr, access::AllAccess, &child, nullptr),
              status::Success);
    ASSERT_EQ(registry_.CloseKey(child), status::Success);
  }
  std::uint32_t count = 0;
  ASSERT_EQ(registry_.QuerySubkeyCount(key_, &count), status::Success);
  EXPECT_EQ(count, 3u);

  std::vector<std::string> names;
  for (std::uint32_t i = 0;; ++i) {
    std::string name;
    const long rc = registry_.EnumKey(key_, i, &name, 256);
    if (rc == status::NoMoreItems) break;
    ASSERT_EQ(rc, status::Success);
    names.push_back(name);
    ASSERT_LT(i, 10u);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"ftp", "http", "https"}));
}

TEST_F(Win32RegistryWineTest, EnumerationWithTooSmallACapacityReportsMoreData) {
  HKey child{};
  ASSERT_EQ(registry_.CreateKey(key_, "LongName", nullptr, access::AllAccess, &child, nullptr),
            status::Success);
  ASSERT_EQ(registry_.CloseKey(child), status::Success);
  std::string name = "untouched";
  // Eight characters need nine bytes.
  EXPECT_EQ(registry_.EnumKey(key_, 0, &name, 8), status::MoreData);
  EXPECT_EQ(name, "untouched");
  EXPECT_EQ(registry_.EnumKey(key_, 0, &name, 0), status::MoreData);
  EXPECT_EQ(registry_.EnumKey(key_, 0, &name, 9), status::Success);
  EXPECT_EQ(name, "LongName");
}

TEST_F(Win32RegistryWineTest, ClosedHandlesAreInvalid) {
  HKey child{};
  ASSERT_EQ(registry_.CreateKey(key_, "Child", nullptr, access::AllAccess, &child, nullptr),
            status::Success);
  ASSERT_EQ(registry_.CloseKey(child), status::Success);
  std::uint32_t count = 0;
  EXPECT_EQ(registry_.QuerySubkeyCount(child, &count), status::InvalidHandle);
  EXPECT_EQ(registry_.CloseKey(child), status::InvalidHandle);
}

TEST_F(Win32RegistryWineTest, RegKeyClosesItsKeyOnce) {
  HKey raw{};
  {
    RegKey owned = OpenRegKey(registry_, root::CurrentUser, scratch_.c_str(), access::Read);
    ASSERT_TRUE(owned);
    raw = owned.get();
    RegKey moved = std::move(owned);
    EXPECT_FALSE(owned);
    EXPECT_EQ(moved.get(), raw);
  }
  std::uint32_t count = 0;
  EXPECT_EQ(registry_.QuerySubkeyCount(raw, &count), status::InvalidHandle);
}

}  // namespace
}  // namespace vrpph::platform
