#include "bridge/bridge_request.h"

#include <gtest/gtest.h>

#include "bridge/bridge_reply.h"

namespace vrpph::bridge {
namespace {

TEST(BridgeRequestTest, ADownloadCarriesEveryFieldWithKeysSortedOnce) {
  const ParsedRequest parsed = ParseRequest(
      R"({"id":"d17","type":"download","url":"https://files.example/get?id=4",)"
      R"("tabUrl":"https://files.example/list.html","referrer":null,"filename":"r\u00e9sum\u00e9.zip",)"
      R"("mime":"application/zip","keys":["shift","ctrl","shift"],"extra":1})");
  ASSERT_TRUE(parsed.request) << parsed.error;
  const BridgeRequest& r = *parsed.request;
  EXPECT_EQ(r.id, "d17");
  EXPECT_EQ(r.type, RequestType::Download);
  EXPECT_EQ(r.url, "https://files.example/get?id=4");
  EXPECT_EQ(r.tabUrl, "https://files.example/list.html");
  EXPECT_EQ(r.referrer, std::nullopt);
  EXPECT_EQ(r.filename, "r\xC3\xA9sum\xC3\xA9.zip");
  EXPECT_EQ(r.mime, "application/zip");
  EXPECT_EQ(r.keys, (std::vector<std::string>{"ctrl", "shift"}));
  EXPECT_EQ(r.method, std::nullopt);

  const ParsedRequest link = ParseRequest(R"({"id":"l3","type":"link","url":"FTP://host/a.pdf"})");
  ASSERT_TRUE(link.request);
  EXPECT_EQ(link.request->type, RequestType::Link);
  EXPECT_EQ(link.request->keys, std::nullopt) << "no keys: the extension did not know them";

  const ParsedRequest posted =
      ParseRequest(R"({"id":"d4","type":"download","url":"http://h/a.zip","method":"POST"})");
  ASSERT_TRUE(posted.request);
  EXPECT_EQ(posted.request->method, "POST");
  // A go needs nothing but its id.
  const ParsedRequest go = ParseRequest(R"({"id":"d4","type":"go"})");
  ASSERT_TRUE(go.request);
  EXPECT_EQ(go.request->type, RequestType::Go);
  EXPECT_EQ(go.request->id, "d4");
}

TEST(BridgeRequestTest, EveryBadMessageIsRefusedWithItsIdWhenItHasOne) {
  struct Case {
    std::string message;
    std::optional<std::string> id;
    const char* error;
  };
  const std::string longId(kMaxIdBytes + 1, 'i');
  const Case cases[] = {
      {"", std::nullopt, "not JSON"},
      {"{\"id\":\"a\",", std::nullopt, "not JSON"},
      {"{\"id\":\"\xC3\x28\",\"type\":\"hello\"}", std::nullopt, "not JSON"},  // invalid UTF-8
      {"{\"id\":\"\xED\xA0\x80\",\"type\":\"hello\"}", std::nullopt, "not JSON"},  // a surrogate
      {"[1,2]", std::nullopt, "not an object"},
      {"\"hello\"", std::nullopt, "not an object"},
      {R"({"type":"hello"})", std::nullopt, "no string id"},
      {R"({"id":7,"type":"hello"})", std::nullopt, "no string id"},
      {R"({"id":")" + longId + R"(","type":"hello"})", std::nullopt, "id too long"},
      {R"({"id":"a"})", "a", "no string type"},
      {R"({"id":"a","type":"upload"})", "a", "unknown type"},
      {R"({"id":"a","type":"download"})", "a", "no string url"},
      {R"({"id":"a","type":"download","url":["http://h/"]})", "a", "no string url"},
      {R"({"id":"a","type":"download","url":"file:///etc/passwd"})", "a", "url is not http, https or ftp"},
      {R"x({"id":"a","type":"link","url":"javascript:alert(1)"})x", "a", "url is not http, https or ftp"},
      {R"({"id":"a","type":"download","url":"httpx://h/a.zip"})", "a", "url is not http, https or ftp"},
      {R"({"id":"a","type":"download","url":"http://h/a.zip","tabUrl":5})", "a", "tabUrl is not a string"},
      {R"({"id":"a","type":"download","url":"http://h/a.zip","referrer":{}})", "a", "referrer is not a string"},
      {R"({"id":"a","type":"download","url":"http://h/a.zip","filename":true})", "a", "filename is not a string"},
      {R"({"id":"a","type":"download","url":"http://h/a.zip","mime":[]})", "a", "mime is not a string"},
      {R"({"id":"a","type":"download","url":"http://h/a.zip","keys":"ctrl"})", "a",
       "keys is not a list of modifier keys"},
      {R"({"id":"a","type":"download","url":"http://h/a.zip","keys":["ctrl","f4"]})", "a",
       "keys is not a list of modifier keys"},
      {R"({"id":"a","type":"download","url":"http://h/a.zip","method":1})", "a", "method is not a string"},
      {R"({"type":"go"})", std::nullopt, "no string id"},
  };
  for (const Case& c : cases) {
    const ParsedRequest parsed = ParseRequest(c.message);
    EXPECT_FALSE(parsed.request) << c.message;
    EXPECT_EQ(parsed.id, c.id) << c.message;
    EXPECT_EQ(parsed.error, c.error) << c.message;
  }
}

TEST(BridgeRequestTest, RepliesKeepTheProtocolsFieldOrder) {
  EXPECT_EQ(PendingReply("d1"), R"({"id":"d1","state":"pending"})");
  EXPECT_EQ(FinalReply("d1", {DownloadState::Taken, true, {}}), R"({"id":"d1","state":"taken"})");
  EXPECT_EQ(FinalReply("d1", {DownloadState::Taken, false, {}}), R"({"id":"d1","state":"taken","sent":false})");
  EXPECT_EQ(FinalReply("d\"1", {DownloadState::Declined, true, "excluded"}),
            R"({"id":"d\"1","state":"declined","reason":"excluded"})");
  EXPECT_EQ(ErrorReply(std::nullopt, "not JSON"), R"({"id":null,"state":"error","reason":"not JSON"})");
  HelloInfo hello{"1.0.0.76", std::vector<std::string>{"alt", "ctrl"}, std::nullopt, true, {}};
  EXPECT_EQ(HelloReply("h1", hello),
            R"({"id":"h1","state":"hello","version":"1.0.0.76","protocol":2,"keysToAdd":["alt","ctrl"],)"
            R"("keysToIgnore":null,"useCtrlAlt":true,"acceptingTypes":[]})");
}

}  // namespace
}  // namespace vrpph::bridge
