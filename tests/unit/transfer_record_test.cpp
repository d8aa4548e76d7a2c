#include "handoff/transfer_record.h"

#include <gtest/gtest.h>

#include "core/outcomes.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "support/fake_world.h"
#include "support/registry_tools.h"
#include "url/request_url.h"

namespace vrpph {
namespace {

using testing::FakeWorld;

TEST(TransferRecordTest, AutomationWritesRefererAndPathAlwaysAndNeverPostData) {
  TransferFields fields{"ftp://server/a.zip", std::nullopt, PathFieldValue(OpenMode::Open, std::nullopt),
                        std::string("ignored"), std::nullopt};
  std::string record = AssembleTransferRecord(Producer::Automation, fields);
  EXPECT_EQ(record, "URL=ftp://server/a.zip\nReferer=\nPath=OPEN");
  EXPECT_EQ(record.size(), 41u);

  fields.referer = "http://page/";
  fields.path = PathFieldValue(OpenMode::Save, "C:\\d\\a.zip");
  fields.fileName = "a.zip";
  EXPECT_EQ(AssembleTransferRecord(Producer::Automation, fields),
            "URL=ftp://server/a.zip\nReferer=http://page/\nPath=C:\\d\\a.zip\nFileName=a.zip");
}

TEST(TransferRecordTest, InterceptionWritesOptionalFieldsOnlyWhenKnown) {
  TransferFields fields{"http://h/a.zip", std::nullopt, "", std::nullopt, std::nullopt};
  EXPECT_EQ(AssembleTransferRecord(Producer::Interception, fields), "URL=http://h/a.zip\nPath=");

  fields.referer = "http://h/";
  fields.postData = std::string("a=1&b=2\0tail", 12);
  fields.fileName = "get.zip";
  EXPECT_EQ(AssembleTransferRecord(Producer::Interception, fields),
            "URL=http://h/a.zip\nReferer=http://h/\nPath=\nPostData=a=1&b=2\nFileName=get.zip")
      << "the body stops at its first zero byte";

  fields.postData = "";
  fields.referer = "";
  EXPECT_EQ(AssembleTransferRecord(Producer::Interception, fields),
            "URL=http://h/a.zip\nReferer=\nPath=\nPostData=\nFileName=get.zip");
}

TEST(TransferRecordTest, ValuesGoInUnescapedAndUnbounded) {
  std::string url = "http://h/" + std::string(70000, 'x') + "\n.zip";
  TransferFields fields{url, "a\nb", "OPEN", std::nullopt, std::string("\xE9\n")};
  EXPECT_EQ(AssembleTransferRecord(Producer::Interception, fields),
            "URL=" + url + "\nReferer=a\nb\nPath=OPEN\nFileName=\xE9\n");
}

TEST(TransferRecordTest, PathIsOpenUnlessTheModeIsSave) {
  EXPECT_EQ(PathFieldValue(OpenMode::Open, "C:\\given"), "OPEN");
  EXPECT_EQ(PathFieldValue(static_cast<OpenMode>(7), "C:\\given"), "OPEN") << "anything but save opens";
  EXPECT_EQ(PathFieldValue(OpenMode::Save, "C:\\given"), "C:\\given");
  EXPECT_EQ(PathFieldValue(OpenMode::Save, std::nullopt), "");
}

class DecodeRequestUrlTest : public ::testing::Test {
 protected:
  std::optional<std::string> Decode(const char16_t* url, Producer producer) {
    return DecodeRequestUrl(world.text, url, producer,
                            UrlDecodingOn(SettingsKey::Main(world.registry).Text(values::DecodeUrls)));
  }
  void SetDecode(const char* value) {
    testing::SetString(world.registry, platform::root::CurrentUser, keys::Main, values::DecodeUrls, value);
  }
  FakeWorld world;
};

TEST_F(DecodeRequestUrlTest, DecodesUnlessTurnedOffExactly) {
  EXPECT_EQ(Decode(u"http://h/a%20b.zip", Producer::Interception), "http://h/a b.zip") << "setting absent";
  SetDecode("false");
  EXPECT_EQ(Decode(u"http://h/a%20b.zip", Producer::Automation), "http://h/a b.zip") << "only FALSE counts";
  SetDecode("FALSE");
  EXPECT_EQ(Decode(u"http://h/a%20b.zip", Producer::Interception), "http://h/a%20b.zip");
  EXPECT_EQ(Decode(u"http://h/a%20b.zip?x=%20", Producer::Automation), "http://h/a%20b.zip?x=%20");
}

TEST_F(DecodeRequestUrlTest, OnlyTheAutomationDecodesAUrlWithAQuery) {
  EXPECT_EQ(Decode(u"http://h/a%20b.zip?x=%20", Producer::Interception), "http://h/a%20b.zip?x=%20");
  EXPECT_EQ(Decode(u"http://h/a%20b.zip?x=%20", Producer::Automation), "http://h/a b.zip?x= ");
  EXPECT_EQ(Decode(u"http://h/%3Fa.zip", Producer::Interception), "http://h/?a.zip")
      << "an escaped question mark is no query";
}

TEST_F(DecodeRequestUrlTest, ACanonicalFormThatDoesNotFitIsSentUndecoded) {
  EXPECT_EQ(Decode(u"http://host", Producer::Automation), "http://host");
  EXPECT_EQ(Decode(u"http://h/d/../f%41.zip", Producer::Interception), "http://h/fA.zip");
}

// Decoded, these would end a record field early and start one of the
// sender's choosing; a line break of the URL's own leaves nothing to send.
TEST_F(DecodeRequestUrlTest, NoLineBreakOrNulReachesTheRecord) {
  for (Producer producer : {Producer::Interception, Producer::Automation}) {
    for (const char16_t* url : {u"http://h/a%0APath=x/f.zip", u"http://h/a%0dPath=x/f.zip", u"http://h/a%00.zip",
                                u"http://h/%20a%0a.zip"}) {
      const std::u16string given(url);
      EXPECT_EQ(Decode(url, producer), std::string(given.begin(), given.end())) << "sent as given";
    }
    EXPECT_EQ(Decode(u"http://h/a%0Bb%09.zip", producer), "http://h/a\vb\t.zip") << "other controls decode";
    for (const char16_t* url : {u"http://h/a\nPath=x/f.zip", u"http://h/a\r.zip"}) {
      EXPECT_EQ(Decode(url, producer), std::nullopt);
    }
  }
  EXPECT_TRUE(FitsInRecordField("http://h/a b.zip"));
  for (std::string_view broken : {std::string_view("a\nb"), std::string_view("a\rb"), std::string_view("a\0b", 3)}) {
    EXPECT_FALSE(FitsInRecordField(broken));
  }
}

TEST_F(DecodeRequestUrlTest, AFailedConversionGivesNothing) {
  EXPECT_EQ(Decode(nullptr, Producer::Interception), std::nullopt);
  world.text.FailConversions(true);
  EXPECT_EQ(Decode(u"http://h/a.zip", Producer::Automation), std::nullopt);
  SetDecode("FALSE");
  EXPECT_EQ(Decode(u"http://h/a.zip", Producer::Automation), std::nullopt);
}

}  // namespace
}  // namespace vrpph
