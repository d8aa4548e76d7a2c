#include "url/url_names.h"

#include <gtest/gtest.h>

#include <utility>

#include "support/fake_text.h"

namespace vrpph {
namespace {

using testing::FakeText;

TEST(UrlExtensionTest, TakesTheLastSegmentsDotBeforeQueryAndFragment) {
  EXPECT_EQ(UrlExtension("http://h/d/f.tar.gz"), "gz");
  EXPECT_EQ(UrlExtension("http://h/f.zip?x=1"), "zip");
  EXPECT_EQ(UrlExtension("http://h/f.zip#a?b"), "zip");
  EXPECT_EQ(UrlExtension("http://h/f.zip?a#b"), "zip");
  EXPECT_EQ(UrlExtension("http://h/QVREDIR.ASP?url=http://x/y.zip"), "ASP");
  EXPECT_EQ(UrlExtension("http://h/FILE.Zip"), "Zip");
  EXPECT_EQ(UrlExtension("http://h/file."), "");
}

TEST(FileNameExtensionTest, TakesTheTextAfterTheLastDotOfTheWholeName) {
  const std::pair<const char*, std::optional<std::string>> rows[] = {
      {"f.tar.gz", "gz"},   {"a#b.zip", "zip"}, {"v1.2#b.zip", "zip"}, {"f.zip#top", "zip#top"},
      {"f.zip?x", "zip?x"}, {"FILE.Zip", "Zip"}, {".zip", "zip"},       {"file.", ""},
      {"noext", std::nullopt}, {"", std::nullopt},
  };
  for (const auto& [name, extension] : rows) EXPECT_EQ(FileNameExtension(name), extension) << name;
}

TEST(UrlExtensionTest, FindsNoneWithoutAFileDot) {
  for (const char* url : {"http://h", "http://h/", "http://h.x/d/", "ftp://h/readme", "http://h/p?x=a.b", "", "f.zip",
                          "http://h.x/page?a=b.c"}) {
    EXPECT_EQ(UrlExtension(url), std::nullopt) << url;
  }
}

TEST(UrlFileNameTest, TakesTheLastSegmentBeforeTheLastQuestionMark) {
  EXPECT_EQ(UrlFileName("http://h/d/setup.exe"), "setup.exe");
  EXPECT_EQ(UrlFileName("http://h/d/get.php?f=a/b.zip"), "get.php");
  EXPECT_EQ(UrlFileName("http://h/dir/"), "");
  EXPECT_EQ(UrlFileName("http://h/f.zip#top"), "f.zip#top");
  EXPECT_EQ(UrlFileName("http://h/a?b?c"), "a?b");
  EXPECT_EQ(UrlFileName("name.zip"), "name.zip");
  EXPECT_EQ(UrlFileName(""), "");
}

TEST(UrlFileNameTest, BoundedVariantKeepsSizeMinusOneBytes) {
  std::string longName(60, 'n');
  EXPECT_EQ(UrlFileName("http://h/" + longName, 40), std::string(39, 'n'));
  EXPECT_EQ(UrlFileName("http://h/short.zip", 40), "short.zip");
  EXPECT_EQ(UrlFileName("http://h/x", 0), "");
}

TEST(UrlHostTest, TakesTheHostAfterSlashesOrTheLastAt) {
  EXPECT_EQ(UrlHost("http://h:81/x", 50), "h:81");
  EXPECT_EQ(UrlHost("ftp://user:pw@files.example/x.zip", 50), "files.example");
  EXPECT_EQ(UrlHost("http://host", 50), "host");
  EXPECT_EQ(UrlHost("http://" + std::string(80, 'h') + "/x", 50), std::string(49, 'h'));
  EXPECT_EQ(UrlHost("no host here", 50), "");
  EXPECT_EQ(UrlHost("h", 50), "");
}

TEST(RedirectPageTest, IsFoundAnywhereInAnyCase) {
  FakeText text;
  EXPECT_TRUE(IsRedirectPage("http://h/qvredir.asp?f=a.zip", text));
  EXPECT_TRUE(IsRedirectPage("http://qvcatalog_fetch.asp.example/", text));
  EXPECT_FALSE(IsRedirectPage("http://h/redir.asp", text));
}

TEST(EmbeddedFileNameTest, TakesTheNameRunBeforeTheFirstListedExtension) {
  FakeText text;
  std::optional<std::string> types = "ZIP, EXE, ";
  EXPECT_EQ(EmbeddedFileName("http://h/QVREDIR.ASP?file=tool.Zip&x=1", types, text), "tool.Zip");
  EXPECT_EQ(EmbeddedFileName("http://h/dl?name=my%20setup.exe", types, text), "my%20setup.exe");
  EXPECT_EQ(EmbeddedFileName("http://h/a=b/.zip", types, text), ".zip");
  EXPECT_EQ(EmbeddedFileName("http://h/get?f=a.zipx", types, text), "a.zip");
  EXPECT_EQ(EmbeddedFileName("http://h/get?f=setup.exe.html", types, text), "setup.exe");
  EXPECT_EQ(EmbeddedFileName("a b\\c&d;e#f.zip", types, text), "a b\\c&d;e#f.zip") << "name characters";
  EXPECT_EQ(EmbeddedFileName("x\"q.zip", types, text), "q.zip");
  EXPECT_EQ(EmbeddedFileName("x\x7f" "q.zip", types, text), std::string("x\x7f" "q.zip")) << "DEL is a name character";
  EXPECT_EQ(EmbeddedFileName("x\x80q.zip", types, text), "q.zip");
  EXPECT_EQ(EmbeddedFileName("http://h/x.zip?y.exe", std::string("EXE, ZIP, "), text), "y.exe") << "list order";
  EXPECT_EQ(EmbeddedFileName("http://h/x.zip", std::string("zip, "), text), std::nullopt) << "lower-case entry";
  EXPECT_EQ(EmbeddedFileName("http://h/x.zip", std::nullopt, text), std::nullopt);
  EXPECT_EQ(EmbeddedFileName("http://h/page", types, text), std::nullopt);
}

TEST(SuggestedFileNameTest, OnlyWhenTheLastSegmentDoesNotNameAnAcceptedFile) {
  FakeText text;
  std::optional<std::string> types = "ZIP, ";
  EXPECT_EQ(SuggestedFileName("http://h/f.zip", types, text), std::nullopt);
  EXPECT_EQ(SuggestedFileName("http://h/f.ZIP", types, text), std::nullopt);
  EXPECT_EQ(SuggestedFileName("http://h/f.zip#top", types, text), "f.zip");
  EXPECT_EQ(SuggestedFileName("http://h/get.php?id=3", types, text), std::nullopt);
  EXPECT_EQ(SuggestedFileName("http://h/get.php?f=a.zip", types, text), "a.zip");
  EXPECT_FALSE(HasAcceptedExtension("noext", types, text));
  EXPECT_FALSE(HasAcceptedExtension("a.zip", std::nullopt, text));
  EXPECT_TRUE(HasAcceptedExtension("a.b.zip", types, text));
  EXPECT_TRUE(HasAcceptedExtension(".zip", types, text));
  EXPECT_TRUE(HasAcceptedExtension("a#b.zip", types, text));
  EXPECT_FALSE(HasAcceptedExtension("file.", types, text));
}

}  // namespace
}  // namespace vrpph
