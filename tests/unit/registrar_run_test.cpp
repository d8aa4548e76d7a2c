#include <gtest/gtest.h>

#include "registration/script_runner.h"
#include "support/registrar_fixture.h"

namespace vrpph::testing {
namespace {

namespace root = platform::root;

TEST_F(RegistrarTest, SyntaxErrorsAreDispExceptionAndLeaveNothing) {
  for (const char* script :
       {"HKXX { K }", "HKCU K", "HKCU { val v s 'x' }", "HKCU { 'A\\B' }", "HKCU { 'K }", "HKCU {", "HKCU { K = q 1 }",
        "HKCU { K = d x }", "HKCU { K = d 4294967296 }", "HKCU { Delete K { } }", "HKCU { val v = s x { } }", "\r\n"}) {
    EXPECT_EQ(Run(script, true), hresult::DispException) << script;
    EXPECT_FALSE(Exists("K") || Exists("A") || Value("", "v")) << script;
  }
  EXPECT_EQ(Run("HKCU { K = b abc }", true), hresult::Fail);
  EXPECT_FALSE(Exists("K"));
  EXPECT_EQ(Run("", true), hresult::Ok);
}

TEST_F(RegistrarTest, ValuesAndRootsAreWrittenExactly) {
  ASSERT_EQ(Run("hkey_current_user { K = s 'x y' { val B = b 0aFF val Z = b zZ val E = B '' val D = d 4294967295 "
                "val H = D &h12AB val T = S '' } } HKDD { K } HKEY_CURRENT_CONFIG { K }", true), hresult::Ok);
  const std::pair<const char*, StoredValue> values[] = {
      {nullptr, Sz("x y")}, {"B", {3, {0x0A, 0xFF}}}, {"Z", {3, {0x00}}} /* no hex digits: 0 */, {"E", {3, {}}},
      {"D", {4, {0xFF, 0xFF, 0xFF, 0xFF}}}, {"H", {4, {0xAB, 0x12, 0, 0}}}, {"T", Sz("")}};
  for (const auto& [name, value] : values) EXPECT_EQ(Value("K", name), value) << (name ? name : "(default)");
  EXPECT_TRUE(KeyExists(registry, root::DynData, "K") && KeyExists(registry, root::CurrentConfig, "K"));
}

TEST_F(RegistrarTest, UnregisterRemovesOnlyEmptyKeysBeforeNoRemoveAndSkipsMissingOnes) {
  const char* script = "HKCU { val RootVal = s x Plain = s 'default' Parent { Child } Kept { Child } "
                       "Gone { Kept { Child } } NoRemove Marker { val MVal = s y } After = s 'x' { Sub } }";
  ASSERT_EQ(Run(script, true), hresult::Ok);
  SetString(registry, root::CurrentUser, "Kept\\Extra", nullptr, "not ours");
  SetString(registry, root::CurrentUser, "Kept\\Kept\\Deep", nullptr, "named as its parent");
  DeleteTree(registry, root::CurrentUser, "Gone");
  for (int pass = 0; pass < 2; ++pass) {
    ASSERT_EQ(Run(script, false), hresult::Ok) << pass;
    for (const char* gone : {"Plain", "Parent", "Kept\\Child", "Kept\\Kept", "After\\Sub"}) {
      EXPECT_FALSE(Exists(gone)) << gone;
    }
    EXPECT_EQ(Value("Kept\\Extra", nullptr), Sz("not ours"));  // Kept\Kept went: it bears its parent's name
    EXPECT_FALSE(Value("", "RootVal"));
    EXPECT_EQ(Value("Marker", "MVal"), Sz("y"));  // the pass opened Marker for reading: its values stay
    EXPECT_EQ(Value("After", nullptr), Sz("x"));
  }
}

TEST_F(RegistrarTest, FailedRegisterRollsBackItsRootBlockBeforeReporting) {
  SetString(registry, root::CurrentUser, "Existing\\Keep", nullptr, "theirs");
  registry.FailOpen("Third\\Blocked", platform::status::AccessDenied);
  EXPECT_EQ(Run("HKCU { First = s '1' } HKCU { Second { Sub } Existing { New } Third { Blocked { X } } Fourth }", true),
            hresult::DispException);
  EXPECT_EQ(Value("First", nullptr), Sz("1"));
  EXPECT_EQ(Value("Existing\\Keep", nullptr), Sz("theirs"));
  for (const char* gone : {"Second", "Existing\\New", "Third", "Fourth"}) EXPECT_FALSE(Exists(gone)) << gone;
}

TEST_F(RegistrarTest, ForceRemoveSparesProtectedNamesAndDeleteWritesNothing) {
  for (const char* path : {"CLSID\\Old", "TypeLib\\Old", "Other\\Old", "Gone\\Deep"}) {
    SetString(registry, root::CurrentUser, path, nullptr, "old");
  }
  ASSERT_EQ(Run("HKCU { ForceRemove CLSID { New } ForceRemove typelib { New } ForceRemove Other { New } "
                "Delete Gone = s 'ignored' Next }",
                true),
            hresult::Ok);
  for (const char* kept : {"CLSID\\Old", "CLSID\\New", "TypeLib\\Old", "TypeLib\\New", "Other\\New", "Next"}) {
    EXPECT_TRUE(Exists(kept)) << kept;
  }
  EXPECT_FALSE(Exists("Other\\Old") || Exists("Gone") || Value("Next", nullptr));
}

TEST_F(RegistrarTest, NameAndNestingLimits) {
  const std::string name259(259, 'v'), key300(300, 'k');
  ASSERT_EQ(Run("HKCU { K { val " + name259 + " = s x } }", true), hresult::Ok);
  EXPECT_EQ(Value("K", name259.c_str()), Sz("x"));
  EXPECT_EQ(Run("HKCU { val " + name259 + "v = s x }", true), hresult::DispException);
  // A key name too long to remember whole is never deleted by its cut form.
  SetString(registry, root::CurrentUser, key300.substr(0, 259), nullptr, "bystander");
  ASSERT_EQ(Run("HKCU { " + key300 + " }", true), hresult::Ok);
  ASSERT_EQ(Run("HKCU { " + key300 + " }", false), hresult::Ok);
  EXPECT_TRUE(Exists(key300));
  EXPECT_EQ(Value(key300.substr(0, 259), nullptr), Sz("bystander"));
  std::string open, close;
  for (int i = 1; i < kMaxBlockDepth; ++i) open += " K {", close += " }";
  EXPECT_EQ(Run("HKCU {" + open + close + " }", false), hresult::Ok);
  EXPECT_EQ(Run("HKCU {" + open + " K { }" + close + " }", false), hresult::DispException);
}

}  // namespace
}  // namespace vrpph::testing
