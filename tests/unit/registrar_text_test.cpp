#include <gtest/gtest.h>

#include "registration/expand_script.h"
#include "registration/script_reader.h"
#include "registration/script_words.h"
#include "support/fake_text.h"

namespace vrpph::testing {
namespace {

using Tokens = std::vector<std::string>;

class ScriptTextTest : public ::testing::Test {
 protected:
  HResult Expand(std::string_view script) { return ExpandScript(text, script, variables, &out); }
  Tokens Read(std::string_view script) {  // every token, then the error of the read that stopped
    ScriptReader reader(text, script);
    Tokens tokens(1);
    HResult hr;
    while ((hr = reader.ReadToken(&tokens.back())) == hresult::Ok) tokens.emplace_back();
    tokens.back() = hr == hresult::DispException ? "<DispException>" : "<other>";
    return tokens;
  }
  FakeText text;
  ScriptVariables variables = *ClassScriptVariables(text, "C:\\PROGRA~1\\O'Neil\\VRPPH.DLL");
  const std::string module = "C:\\PROGRA~1\\O''Neil\\VRPPH.DLL";  // ' doubled for quoted tokens
  std::string out = "untouched";
};

TEST_F(ScriptTextTest, ExpandsPercentPairsAndVariablesInAnyCase) {
  const std::string name31(31, 'n');
  for (std::string bad : std::initializer_list<std::string>{"%MODULE", "tail %", "%Other%", "%" + name31 + "%"}) {
    EXPECT_EQ(Expand(bad), hresult::DispException) << bad;
  }
  EXPECT_EQ(Expand("%" + name31 + "x%"), hresult::Fail);
  EXPECT_EQ(out, "untouched");
  ASSERT_EQ(Expand("a%%b %MODULE%|%module%|%MoDuLe% 100%%"), hresult::Ok);
  EXPECT_EQ(out, "a%b " + module + "|" + module + "|" + module + " 100%");
  variables.Add(u"Sign", u"\u20AC first");
  variables.Add(u"SIGN", u"second");
  variables.Add(std::u16string(31, u'n'), u"ok");
  ASSERT_EQ(Expand("%sign% %" + name31 + "%"), hresult::Ok);
  EXPECT_EQ(out, "\x80 first ok");
}

TEST_F(ScriptTextTest, QuotedAndPlainTokensWithinTheLimit) {
  EXPECT_EQ(Read(" 'a''b'\t''\r\nplain{=x}'q' 'q r' \n"),
            (Tokens{"a'b", "", "plain{=x}'q'", "q r", "<DispException>"}));
  EXPECT_EQ(Read("ok 'open"), (Tokens{"ok", "<DispException>"}));
  EXPECT_EQ(Read("'ends in escape''"), (Tokens{"<DispException>"}));
  text.SetLeadBytes({0x81});
  const std::string full(kMaxTokenBytes, 'a');
  EXPECT_EQ(Read(full), (Tokens{full, "<DispException>"}));
  EXPECT_EQ(Read("'" + full.substr(1) + "'''"), (Tokens{full.substr(1) + "'", "<DispException>"}));
  for (std::string over : {full + "a", "'" + full + "a'", full.substr(1) + "\x81\x41"}) {
    EXPECT_EQ(Read(over), Tokens{"<DispException>"});
  }
}

TEST_F(ScriptTextTest, TrailBytesAreNeverPercentSignsQuotesBlanksOrBackslashes) {
  const char* script = "'a\x81'b' x\x81 y";
  EXPECT_EQ(Read(script), (Tokens{"a\x81", "b'", "x\x81", "y", "<DispException>"}));
  EXPECT_EQ(Expand("\x81%x"), hresult::DispException);
  EXPECT_TRUE(HasBackslash(text, "k\x81\\"));
  text.SetLeadBytes({0x81});
  EXPECT_EQ(Read(script), (Tokens{"a\x81'b", "x\x81 y", "<DispException>"}));
  ASSERT_EQ(Expand("\x81%x \x81%%MODULE%"), hresult::Ok);
  EXPECT_EQ(out, "\x81%x \x81%" + module);
  EXPECT_FALSE(HasBackslash(text, "k\x81\\"));
  EXPECT_EQ(Expand("%" + std::string(62, '\x81') + "%"), hresult::DispException);  // 31 characters: unknown
  EXPECT_EQ(Expand("%" + std::string(64, '\x81') + "%"), hresult::Fail);
}

}  // namespace
}  // namespace vrpph::testing
