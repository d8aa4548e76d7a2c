#include "url/request_url.h"

#include <gtest/gtest.h>

#include "core/record_field.h"
#include "platform/utf8_text.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "support/fake_world.h"
#include "support/registry_tools.h"
#include "url/readable_name.h"

namespace vrpph {
namespace {

using testing::FakeWorld;

std::string Narrow(const char16_t* wide) {
  std::string out;
  for (; *wide; ++wide) out += static_cast<char>(*wide);
  return out;
}

class DecodeRequestUrlTest : public ::testing::Test {
 protected:
  std::optional<std::string> Decode(const char16_t* url, UrlDecoding decoding) {
    return DecodeRequestUrl(world.text, url, decoding,
                            UrlDecodingOn(SettingsKey::Main(world.registry).Text(values::DecodeUrls)));
  }
  void SetDecode(const char* value) {
    testing::SetString(world.registry, platform::root::CurrentUser, keys::Main, values::DecodeUrls, value);
  }
  FakeWorld world;
};

// What each road sends for a URL: the handler and the bridge (Interception)
// never decode a URL with a query, the automation does.
TEST_F(DecodeRequestUrlTest, EachEscapeDecodesOnlyWhenTheResourceStaysTheSame) {
  struct Case {
    const char16_t* url;
    const char* interception;
    const char* automation;  // null: as the interception
  };
  const Case cases[] = {
      {u"http://h/a%20b%2Ezip", "http://h/a b.zip", nullptr},
      {u"http://h/%c3%9cber%2ezip", "http://h/%c3%9cber.zip", nullptr},
      {u"http://h/files/%C3%9Cbersicht.zip", "http://h/files/%C3%9Cbersicht.zip", nullptr},
      {u"http://h/%DCbersicht.zip", "http://h/%DCbersicht.zip", nullptr},
      {u"http://h/%80%FF%C3%9C%20.zip", "http://h/%80%FF%C3%9C .zip", nullptr},
      {u"http://h/a%3Fb.zip", "http://h/a%3Fb.zip", nullptr},
      {u"http://h/a%2fb%2F%5c.zip", "http://h/a%2fb%2F%5c.zip", nullptr},
      {u"http://h/100%25%2541.zip", "http://h/100%25%2541.zip", nullptr},
      {u"http://h/a%23b.zip", "http://h/a%23b.zip", nullptr},
      {u"http://h/a%0APath=x%20y.zip", "http://h/a%0APath=x y.zip", nullptr},
      {u"http://h/%20a%0d%0a.zip", "http://h/ a%0d%0a.zip", nullptr},
      {u"http://h/a.zip%00", "http://h/a.zip%00", nullptr},
      {u"http://h/a%0Bb%09.zip", "http://h/a\vb\t.zip", nullptr},
      {u"http://h/%G1%4", "http://h/%G1%4", nullptr},
      {u"http://h/a%2", "http://h/a%2", nullptr},
      {u"http://h/%%41%", "http://h/%A%", nullptr},
      {u"http://h/a%26b%3D%2B.zip", "http://h/a&b=+.zip", nullptr},
      {u"http://h/a%20b.zip?x=%20", "http://h/a%20b.zip?x=%20", "http://h/a b.zip?x= "},
      {u"http://h/get?a=1%262&b=%3D%2B%41%3F", "http://h/get?a=1%262&b=%3D%2B%41%3F",
       "http://h/get?a=1%262&b=%3D%2BA%3F"},
      {u"http://host", "http://host", nullptr},
      {u"http://h/d/../f%41.zip", "http://h/d/../fA.zip", nullptr},
      {u"http://h/\u00DCbersicht.zip", "http://h/\xDC" "bersicht.zip", nullptr},
      {u"http://h/\u4E2D%20\u0100.zip", "http://h/%E4%B8%AD %C4%80.zip", nullptr},
      {u"http://h/\U0001F600.zip", "http://h/%F0%9F%98%80.zip", nullptr},
      {u"http://h/\xD800.zip", "http://h/%EF%BF%BD.zip", nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Decode(c.url, UrlDecoding::WithoutQueryOnly), c.interception) << c.interception;
    EXPECT_EQ(Decode(c.url, UrlDecoding::WholeUrl), c.automation ? c.automation : c.interception)
        << c.interception;
  }
}

TEST_F(DecodeRequestUrlTest, DecodesUnlessTurnedOffExactly) {
  EXPECT_EQ(Decode(u"http://h/a%20b.zip", UrlDecoding::WithoutQueryOnly), "http://h/a b.zip") << "setting absent";
  SetDecode("false");
  EXPECT_EQ(Decode(u"http://h/a%20b.zip", UrlDecoding::WholeUrl), "http://h/a b.zip") << "only FALSE counts";
  SetDecode("FALSE");
  EXPECT_EQ(Decode(u"http://h/a%20b.zip", UrlDecoding::WithoutQueryOnly), "http://h/a%20b.zip");
  EXPECT_EQ(Decode(u"http://h/a%20b.zip?x=%20", UrlDecoding::WholeUrl), "http://h/a%20b.zip?x=%20");
  EXPECT_EQ(Decode(u"http://h/\u4E2D.zip", UrlDecoding::WholeUrl), "http://h/%E4%B8%AD.zip")
      << "a letter the code page lacks is escaped all the same";
}

// Decoded, these would end a record field early and start one of the
// sender's choosing; a line break of the URL's own leaves nothing to send.
TEST_F(DecodeRequestUrlTest, NoLineBreakOrNulReachesTheRecord) {
  for (UrlDecoding decoding : {UrlDecoding::WithoutQueryOnly, UrlDecoding::WholeUrl}) {
    for (const char16_t* url : {u"http://h/a%0APath=x/f.zip", u"http://h/a%0dPath=x/f.zip", u"http://h/a%00.zip"}) {
      EXPECT_EQ(Decode(url, decoding), Narrow(url));
    }
    for (const char16_t* url : {u"http://h/a\nPath=x/f.zip", u"http://h/a\r.zip", u"http://h/\u4E2D\n.zip"}) {
      EXPECT_EQ(Decode(url, decoding), std::nullopt);
    }
  }
  EXPECT_TRUE(FitsInRecordField("http://h/a b.zip"));
  for (std::string_view broken : {std::string_view("a\nb"), std::string_view("a\rb"), std::string_view("a\0b", 3)}) {
    EXPECT_FALSE(FitsInRecordField(broken));
  }
}

TEST_F(DecodeRequestUrlTest, AFailedConversionGivesNothing) {
  EXPECT_EQ(Decode(nullptr, UrlDecoding::WithoutQueryOnly), std::nullopt);
  world.text.FailConversions(true);
  EXPECT_EQ(Decode(u"http://h/a.zip", UrlDecoding::WholeUrl), std::nullopt);
  SetDecode("FALSE");
  EXPECT_EQ(Decode(u"http://h/a.zip", UrlDecoding::WholeUrl), std::nullopt);
}

// The decoded URL (as DecodeRequestUrl leaves it) and its readable name on
// code page 1252: none means Trevalon names the file from the URL.
TEST(ReadableFileNameTest, EscapedLettersReadAsUtf8ElseAsTheCodePage) {
  struct Case {
    const char* url;
    std::optional<std::string> name;
  };
  const Case cases[] = {
      {"http://h/files/%C3%9Cbersicht.zip", "\xDC" "bersicht.zip"},
      {"http://h/%c3%bc%E2%82%AC.zip", "\xFC\x80.zip"},
      {"http://h/%DCbersicht.zip", "\xDC" "bersicht.zip"},
      {"http://h/%80%81.zip", "\x80\x81.zip"},
      {"http://h/%C3%9Cber%FC.zip", "\xC3\x9C" "ber\xFC.zip"},
      {"http://h/%C3(.zip", "\xC3(.zip"},
      {"http://h/%C0%AF.zip", "\xC0\xAF.zip"},
      {"http://h/%ED%A0%80.zip", "\xED\xA0\x80.zip"},
      {"http://h/%C3", "\xC3"},
      {"http://h/%E4%B8%AD.zip", std::nullopt},
      {"http://h/%F0%9F%98%80.zip", std::nullopt},
      {"http://h/%EF%BF%BF.zip", std::nullopt},
      {"http://h/%C3%9C%2F%25%3F.zip", "\xDC%2F%25%3F.zip"},
      {"http://h/\xDC%C3%BC.zip", "\xDC\xC3\xBC.zip"},
      {"http://h/%C3%9C/a.zip", std::nullopt},
      {"http://h/%C3%9C.zip?x=%E4%B8%AD", "\xDC.zip"},
      {"http://h/a%2Fb.zip", std::nullopt},
      {"http://h/\xDC.zip", std::nullopt},
      {"http://h/%G1%C.zip", std::nullopt},
  };
  FakeWorld world;
  for (const Case& c : cases) EXPECT_EQ(ReadableFileName(world.text, c.url), c.name) << c.url;
}

TEST(Utf8TextTest, OnlyValidUtf8IsReadStrictly) {
  EXPECT_EQ(ValidUtf8ToUtf16("a\xC3\x9C\xF0\x9F\x98\x80"), std::u16string(u"a\u00DC\U0001F600"));
  EXPECT_EQ(ValidUtf8ToUtf16("\xEF\xBF\xBD"), std::u16string(u"\uFFFD")) << "a real replacement character";
  for (const char* broken : {"\xC3", "\xC3(", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x9C", "\xF8\x88\x80\x80\x80"}) {
    EXPECT_EQ(ValidUtf8ToUtf16(broken), std::nullopt) << broken;
    EXPECT_NE(Utf8ToUtf16(broken).find(u'\uFFFD'), std::u16string::npos) << "the lenient reading replaces";
  }
}

}  // namespace
}  // namespace vrpph
