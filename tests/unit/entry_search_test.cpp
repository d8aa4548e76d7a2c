// The search behind EmbeddedFileName, both ways it is made: one search per
// entry, and one pass of an automaton of all entries. They must agree on
// every text and list.
#include "url/entry_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vrpph {
namespace {

using Search = std::optional<EntryMatch> (*)(std::string_view, std::string_view);

class EntrySearchTest : public ::testing::TestWithParam<Search> {
 protected:
  // "ENTRY@DOT", or "none".
  std::string Find(std::string_view text, std::string_view list) const {
    auto match = GetParam()(text, list);
    return match ? std::string(match->entry) + "@" + std::to_string(match->dot) : "none";
  }
};

TEST_P(EntrySearchTest, ListOrderDecidesAndTheFirstOccurrenceCounts) {
  EXPECT_EQ(Find("H/X.ZIP?Y.EXE", "EXE, ZIP, "), "EXE@9");
  EXPECT_EQ(Find("H/X.ZIP?Y.EXE", "ZIP, EXE, "), "ZIP@3");
  EXPECT_EQ(Find("A.ZIP B.ZIP", "ZIP, "), "ZIP@1");
  EXPECT_EQ(Find("A.ZIPX", "ZIPX, ZIP, "), "ZIPX@1");
  EXPECT_EQ(Find("A.ZIPX", "ZIP, ZIPX, "), "ZIP@1") << "a prefix of the text is enough";
}

TEST_P(EntrySearchTest, EntriesInsideOtherEntriesAndDots) {
  EXPECT_EQ(Find("A.ZIP.IP", "IP, ZIP, "), "IP@5") << "'IP' inside '.ZIP' has no dot of its own";
  EXPECT_EQ(Find(".ZIP", "P, "), "none");
  EXPECT_EQ(Find("X.TAR.GZ", "GZ, TAR.GZ, "), "GZ@5");
  EXPECT_EQ(Find("X.TAR.GZ", "TAR.GZ, GZ, "), "TAR.GZ@1");
  EXPECT_EQ(Find(".....", ".., "), "..@0");
  EXPECT_EQ(Find("A.\xC9T\xC9", "\xC9T\xC9, "), "\xC9T\xC9@1") << "bytes from 0x80 up";
}

TEST_P(EntrySearchTest, ListsWithoutEntriesAndEmptyTexts) {
  EXPECT_EQ(Find("A.ZIP", ""), "none");
  EXPECT_EQ(Find("A.ZIP", ", ZIP, "), "none") << "two leading separators: no entries";
  EXPECT_EQ(Find("", "ZIP, "), "none");
  EXPECT_EQ(Find("A.ZIP", "ZIP, ZIP, EXE, "), "ZIP@1");
}

TEST_P(EntrySearchTest, LongTextsAndListsAgreeWithTheDirectSearch) {
  // Entries of one width, so that none is a prefix of another.
  std::string list;
  for (int i = 0; i < 20000; ++i) {
    const std::string digits = std::to_string(100000 + i);
    list += "E" + digits.substr(1) + ", ";
  }
  std::string text(200000, 'a');
  text.replace(150000, 7, ".E19999");
  text.replace(190000, 7, ".E00077");
  text.replace(195000, 7, ".E00077");
  EXPECT_EQ(Find(text, list), "E00077@190000");
}

INSTANTIATE_TEST_SUITE_P(Strategies, EntrySearchTest,
                         ::testing::Values(&FirstEntryBySearch, &FirstEntryByAutomaton, &FirstEntryAfterDot));

TEST(EntrySearchAgreementTest, RandomTextsAndListsOverAFewBytes) {
  std::mt19937 random(20261207);
  const std::string alphabet = "..AAB, ";
  auto draw = [&](std::size_t most) {
    std::string s(random() % (most + 1), ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string text = draw(24), list = draw(16);
    auto search = FirstEntryBySearch(text, list);
    auto automaton = FirstEntryByAutomaton(text, list);
    ASSERT_EQ(search.has_value(), automaton.has_value()) << "'" << text << "' '" << list << "'";
    if (!search) continue;
    ASSERT_EQ(search->entry, automaton->entry) << "'" << text << "' '" << list << "'";
    ASSERT_EQ(search->dot, automaton->dot) << "'" << text << "' '" << list << "'";
  }
}

}  // namespace
}  // namespace vrpph
