#include "url/type_list.h"

#include <gtest/gtest.h>

namespace vrpph {
namespace {

TEST(ListContainsTest, MatchesWholeEntriesExactly) {
  EXPECT_TRUE(ListContains("ZIP, EXE, ", "ZIP"));
  EXPECT_TRUE(ListContains("ZIP, EXE, ", "EXE"));
  EXPECT_FALSE(ListContains("ZIP, EXE, ", "zip"));
  EXPECT_FALSE(ListContains("ZIP, EXE, ", "ZI"));
  EXPECT_FALSE(ListContains("ZIP, EXE, ", "ZIP,"));
  EXPECT_FALSE(ListContains("ZIP, EXE, ", ""));
  EXPECT_FALSE(ListContains("", "ZIP"));
}

TEST(ListContainsTest, AcceptsAnySeparatorRunsButOnlyOneLeadingSeparator) {
  EXPECT_TRUE(ListContains("ZIP,EXE", "EXE"));
  EXPECT_TRUE(ListContains(" ZIP  EXE", "ZIP"));
  EXPECT_TRUE(ListContains(" ZIP  EXE", "EXE"));
  EXPECT_TRUE(ListContains(",ZIP", "ZIP"));
  EXPECT_FALSE(ListContains(", ZIP, ", "ZIP"));
  EXPECT_FALSE(ListContains("  ZIP", "ZIP"));
}

TEST(NextListEntryTest, ReadsOneEntryAndItsSeparatorRunPerCall) {
  std::string_view list = "A,, B";
  std::size_t position = ListStartPosition(list);
  std::string_view entry;
  ASSERT_TRUE(NextListEntry(list, position, entry));
  EXPECT_EQ(entry, "A");
  EXPECT_EQ(position, 4u);
  ASSERT_TRUE(NextListEntry(list, position, entry));
  EXPECT_EQ(entry, "B");
  EXPECT_FALSE(NextListEntry(list, position, entry));
  EXPECT_EQ(position, list.size());

  position = 0;
  EXPECT_FALSE(NextListEntry(" ,X", position, entry)) << "a call starting on a run consumes it and finds nothing";
  EXPECT_EQ(position, 2u);
}

TEST(ListRemoveTest, RebuildsTheCanonicalFormAndDropsEveryCopy) {
  ListRemoval r = ListRemove("ZIP, ZIP, EXE, ", "ZIP");
  EXPECT_EQ(r.list, "EXE, ");
  EXPECT_TRUE(r.removed);

  r = ListRemove("ZIP, EXE, ", "MP3");
  EXPECT_EQ(r.list, "ZIP, EXE, ");
  EXPECT_FALSE(r.removed);

  r = ListRemove("ZIP,EXE  MP3", "EXE");
  EXPECT_EQ(r.list, "ZIP, MP3, ");

  // The canonical form can be longer than the input.
  r = ListRemove("A,B,C", "A");
  EXPECT_EQ(r.list, "B, C, ");
  EXPECT_TRUE(r.removed);

  r = ListRemove("ZIP, ", "ZIP");
  EXPECT_EQ(r.list, "");
}

TEST(ListAppendTest, KeepsTheLastEntryWhole) {
  EXPECT_EQ(ListAppend("", "MP3"), "MP3, ");
  EXPECT_EQ(ListAppend("ZIP, ", "MP3"), "ZIP, MP3, ");
  EXPECT_EQ(ListAppend("ZIP,", "MP3"), "ZIP,MP3, ");
  EXPECT_EQ(ListAppend("ZIP, EXE", "MP3"), "ZIP, EXE, MP3, ");
  EXPECT_TRUE(ListContains(ListAppend("ZIP, EXE", "MP3"), "EXE"));
}

}  // namespace
}  // namespace vrpph
