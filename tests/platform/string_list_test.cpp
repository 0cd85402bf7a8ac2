#include "wordloom/platform/string_list.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "wordloom/platform/exceptions.h"

namespace wordloom {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::ThrowsMessage;

std::vector<std::string> Items(const TStringList& l) { return {l.begin(), l.end()}; }

std::string Byte(int b) { return std::string(1, static_cast<char>(b)); }

// Makes l the sorted, case-insensitive, duplicates-ignored list the checker keeps.
void MakeSorted(TStringList& l) {
  l.SetSorted(true);
  l.SetCaseSensitive(false);
  l.SetDuplicates(dupIgnore);
}

TEST(TStringListTest, SortedAddIgnoresDuplicatesRegardlessOfCase) {
  TStringList l;
  MakeSorted(l);
  EXPECT_EQ(l.Add("b"), 0);
  EXPECT_EQ(l.Add("A"), 0);
  EXPECT_EQ(l.Add("a"), 0);  // the existing index of "A"
  EXPECT_EQ(l.Count(), 2);
  EXPECT_THAT(Items(l), ElementsAre("A", "b"));  // the first spelling stays
  EXPECT_EQ(l.Add("B"), 1);
  EXPECT_EQ(l.Add("c"), 2);
  EXPECT_EQ(l.Add("aa"), 1);
  EXPECT_THAT(Items(l), ElementsAre("A", "aa", "b", "c"));
}

TEST(TStringListTest, FindAndIndexOfSearchWithoutRegardToCase) {
  TStringList l;
  MakeSorted(l);
  for (const char* s : {"delta", "Alpha", "charlie", "Bravo", "echo"}) l.Add(s);
  ASSERT_THAT(Items(l), ElementsAre("Alpha", "Bravo", "charlie", "delta", "echo"));

  int index = -1;
  EXPECT_TRUE(l.Find("CHARLIE", index));
  EXPECT_EQ(index, 2);
  EXPECT_TRUE(l.Find("alpha", index));
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(l.Find("Echo", index));
  EXPECT_EQ(index, 4);

  // A missing string reports where it would go.
  EXPECT_FALSE(l.Find("beta", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(l.Find("", index));
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(l.Find("zulu", index));
  EXPECT_EQ(index, 5);

  EXPECT_EQ(l.IndexOf("bravo"), 1);
  EXPECT_EQ(l.IndexOf("DELTA"), 3);
  EXPECT_EQ(l.IndexOf("foxtrot"), -1);

  TStringList empty;
  MakeSorted(empty);
  EXPECT_FALSE(empty.Find("x", index));
  EXPECT_EQ(index, 0);
  EXPECT_EQ(empty.IndexOf("x"), -1);
}

TEST(TStringListTest, CaseFoldingCoversAsciiAndLatin1CapitalsOnly) {
  // Latin-1 capitals 192..222 fold to 224..254.
  EXPECT_EQ(CompareText(Byte(0xC0), Byte(0xE0)), 0);
  EXPECT_EQ(CompareText(Byte(0xDE), Byte(0xFE)), 0);
  EXPECT_EQ(CompareText("\xC9t\xC9", "\xE9T\xE9"), 0);
  // The multiplication sign 215 is not a letter and 247 (division) is not its small form.
  EXPECT_NE(CompareText(Byte(215), Byte(247)), 0);
  EXPECT_LT(CompareText(Byte(215), Byte(247)), 0);
  // 223 (sharp s) and 255 (y diaeresis) have no counterpart in this folding.
  EXPECT_NE(CompareText(Byte(223), Byte(255)), 0);
  // Characters around the ASCII letters do not fold.
  EXPECT_NE(CompareText("@", "`"), 0);
  EXPECT_NE(CompareText("[", "{"), 0);
  EXPECT_EQ(CompareText("HeLLo", "hello"), 0);

  TStringList l;
  MakeSorted(l);
  l.Add("\xC0la");
  EXPECT_EQ(l.Add("\xE0LA"), 0);
  EXPECT_EQ(l.Count(), 1);
  l.Add(Byte(215));
  l.Add(Byte(247));
  EXPECT_EQ(l.Count(), 3);
}

TEST(TStringListTest, ComparisonsUseUnsignedByteOrder) {
  // A byte above 127 sorts after every ASCII letter, however char is signed.
  EXPECT_GT(CompareStr(Byte(0x80), "z"), 0);
  EXPECT_LT(CompareStr("z", Byte(0x80)), 0);
  EXPECT_GT(CompareText(Byte(0x80), "z"), 0);
  EXPECT_GT(CompareText(Byte(0xFF), Byte(0x7F)), 0);

  // Case matters to CompareStr: 'B' (66) before 'a' (97).
  EXPECT_LT(CompareStr("B", "a"), 0);
  EXPECT_GT(CompareText("B", "a"), 0);
  EXPECT_NE(CompareStr("abc", "ABC"), 0);
  EXPECT_EQ(CompareStr("abc", "abc"), 0);

  // A prefix sorts first; embedded zero bytes are compared, not terminators.
  EXPECT_LT(CompareStr("ab", "abc"), 0);
  EXPECT_GT(CompareText("abc", "AB"), 0);
  EXPECT_LT(CompareStr(std::string("a\0b", 3), std::string("a\0c", 3)), 0);
  EXPECT_EQ(CompareText("", ""), 0);

  TStringList l;
  MakeSorted(l);
  l.Add(Byte(0x80));
  l.Add("z");
  l.Add("A");
  EXPECT_THAT(Items(l), ElementsAre("A", "z", Byte(0x80)));
}

TEST(TStringListTest, CaseSensitiveListKeepsBothSpellings) {
  TStringList l;
  MakeSorted(l);
  l.SetCaseSensitive(true);
  l.Add("b");
  l.Add("a");
  l.Add("B");
  l.Add("A");
  EXPECT_THAT(Items(l), ElementsAre("A", "B", "a", "b"));
  EXPECT_EQ(l.IndexOf("a"), 2);
  EXPECT_EQ(l.IndexOf("b"), 3);
  EXPECT_LT(l.CompareStrings("B", "a"), 0);

  // Going back to case-insensitive re-sorts.
  l.SetCaseSensitive(false);
  EXPECT_THAT(Items(l), ElementsAre("A", "a", "B", "b"));  // a stable sort
  EXPECT_GT(l.CompareStrings("B", "a"), 0);
}

TEST(TStringListTest, DuplicateModesOfASortedList) {
  TStringList refuse;
  MakeSorted(refuse);
  refuse.SetDuplicates(dupError);
  refuse.Add("word");
  EXPECT_THAT([&] { refuse.Add("WORD"); }, ThrowsMessage<EListError>(Not(IsEmpty())));
  EXPECT_EQ(refuse.Count(), 1);

  TStringList accept;
  MakeSorted(accept);
  accept.SetDuplicates(dupAccept);
  accept.Add("word");
  accept.Add("Word");
  accept.Add("a");
  EXPECT_EQ(accept.Count(), 3);
  EXPECT_EQ(accept[0], "a");
}

TEST(TStringListTest, SettingSortedSortsTheList) {
  TStringList l;
  for (const char* s : {"pear", "Apple", "fig", "apple"}) l.Add(s);
  l.SetSorted(true);
  EXPECT_TRUE(l.Sorted());
  ASSERT_EQ(l.Count(), 4);
  // Sorting is stable: the two spellings of apple keep their order.
  EXPECT_THAT(Items(l), ElementsAre("Apple", "apple", "fig", "pear"));
  EXPECT_EQ(l.Add("banana"), 2);
}

TEST(TStringListTest, SortedListRefusesInsertButUnsortedListTakesIt) {
  TStringList l;
  MakeSorted(l);
  l.Add("a");
  EXPECT_THROW(l.Insert(0, "b"), EListError);
  EXPECT_THAT(Items(l), ElementsAre("a"));

  TStringList u;
  u.Add("a");
  u.Add("c");
  u.Insert(1, "b");
  u.Insert(3, "d");  // inserting at Count appends
  EXPECT_THAT(Items(u), ElementsAre("a", "b", "c", "d"));
  EXPECT_THROW(u.Insert(5, "x"), EListError);
  EXPECT_THROW(u.Insert(-1, "x"), EListError);
  u.Put(0, "A");
  u.Delete(3);
  EXPECT_THAT(Items(u), ElementsAre("A", "b", "c"));
  EXPECT_EQ(u.IndexOf("a"), 0);  // an unsorted list is scanned
  EXPECT_EQ(u.IndexOf("C"), 2);
  EXPECT_EQ(u.IndexOf("d"), -1);
}

TEST(TStringListTest, IndexOutOfRangeRaisesListError) {
  TStringList l;
  l.Add("only");
  EXPECT_EQ(l[0], "only");
  EXPECT_THROW(l[1], EListError);
  EXPECT_THROW(l[-1], EListError);
  EXPECT_THROW(l.Delete(1), EListError);
  EXPECT_THROW(l.Put(1, "x"), EListError);
  l.Clear();
  EXPECT_EQ(l.Count(), 0);
  EXPECT_THROW(l[0], EListError);
}

TEST(TStringListTest, CustomSortUsesTheGivenOrderAndUnmarksSorted) {
  TStringList l;
  MakeSorted(l);
  for (const char* s : {"ccc", "a", "bb", "dd", "e"}) l.Add(s);
  ASSERT_TRUE(l.Sorted());
  // By length, longest first; equal lengths keep their order (stable).
  l.CustomSort([](const TStringList& list, int i, int j) {
    return static_cast<int>(list[j].size()) - static_cast<int>(list[i].size());
  });
  EXPECT_THAT(Items(l), ElementsAre("ccc", "bb", "dd", "a", "e"));
  EXPECT_FALSE(l.Sorted());
  // No longer sorted, so Add appends.
  EXPECT_EQ(l.Add("b"), 5);

  l.Sort();
  EXPECT_THAT(Items(l), ElementsAre("a", "b", "bb", "ccc", "dd", "e"));
}

}  // namespace
}  // namespace wordloom
