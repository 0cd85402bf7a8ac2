#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include <wordloom/platform/form_file.h>
#include <wordloom/wordloom.h>

#include "checking/sound_alike.h"

namespace wordloom {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using Words = std::vector<std::string>;

std::string Folded(std::string w) {
  for (char& c : w) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return w;
}

// A small English dictionary with counts, ranked by likelihood.
class RankingTest : public ::testing::Test {
 protected:
  RankingTest() {
    c.InitFirstSpellNode();
    const std::vector<std::pair<std::string, std::uint32_t>> counts = {
        {"the", 5000}, {"then", 300}, {"they", 400}, {"tea", 40},    {"ten", 60},
        {"toe", 10},   {"tie", 12},   {"he", 900},   {"occurred", 50}, {"occur", 30},
        {"occurs", 20}, {"cured", 15}, {"accrued", 5}, {"Paris", 30},   {"parish", 8},
        {"definitely", 25}, {"finite", 10}, {"defiantly", 3}, {"receive", 40}, {"relieve", 9}};
    for (const auto& [word, count] : counts) c.AddToSpell(word, count);
    c.SetSuggestionRanking(srkLikelihood);
  }
  Words Suggested(const std::string& word) {
    c.Suggest(word);
    return Words(c.Suggestions().begin(), c.Suggestions().end());
  }
  TVelkSpellChecker c{nullptr};
};

TEST_F(RankingTest, OnlyDictionaryWordsEachOnceWithinTheLimit) {
  std::set<std::string> known;
  for (const char* w : {"the", "then", "they", "tea", "ten", "toe", "tie", "he", "occurred",
                        "occur", "occurs", "cured", "accrued", "paris", "parish", "definitely",
                        "finite", "defiantly", "receive", "relieve"}) {
    known.insert(w);
  }
  for (const char* typo : {"teh", "thn", "occured", "parsh", "xyz", "t", "recieve", "TEH"}) {
    const Words got = Suggested(typo);
    std::set<std::string> seen;
    for (const std::string& s : got) {
      EXPECT_TRUE(known.count(Folded(s))) << typo << " -> " << s;
      EXPECT_TRUE(seen.insert(Folded(s)).second) << typo << " gave " << s << " twice";
    }
  }
  c.SetSuggestionLimit(2);
  EXPECT_EQ(Suggested("teh").size(), 2u);
  c.SetSuggestionLimit(1);
  EXPECT_THAT(Suggested("teh"), ElementsAre("the"));
}

TEST_F(RankingTest, FollowsChangesOfTheDictionary) {
  // Too far off for an edit search; found by its sound.
  EXPECT_THAT(Suggested("fonetik"), Not(Contains("phonetic")));
  c.AddToSpell("phonetic", 20);
  EXPECT_THAT(Suggested("fonetik"), Contains("phonetic"));
  c.DeleteFromSpell("phonetic");
  EXPECT_THAT(Suggested("fonetik"), Not(Contains("phonetic")));
  c.AddToSpell("photonic", 5);  // takes the number the deleted word had
  EXPECT_THAT(Suggested("fonetik"), Not(Contains("phonetic")));
}

TEST_F(RankingTest, OddInputGivesNoSuggestionsAndNoFault) {
  EXPECT_THAT(Suggested(""), IsEmpty());
  EXPECT_THAT(Suggested(std::string(200, 'e')), IsEmpty());
  EXPECT_NO_THROW(Suggested("\xff\xfe\x80t\x01h\xc3\xa9"));
  TVelkSpellChecker empty(nullptr);
  empty.SetSuggestionRanking(srkLikelihood);
  empty.Suggest("teh");
  EXPECT_EQ(empty.Suggestions().Count(), 0);
}

TEST(SuggestionRankingTest, TheSortMethodsStayTheDefaultAndAreStoredAsBefore) {
  TVelkSpellChecker c(nullptr);
  EXPECT_EQ(c.SuggestionRanking(), srkSortMethods);
  c.InitFirstSpellNode();
  for (const char* w : {"cat", "cat", "cat", "cart", "coat", "cut", "cut", "act", "at", "cats", "dog"}) {
    c.AddToSpell(w);
  }
  const std::string stored = WriteComponentToString(c);
  EXPECT_EQ(stored.find("SuggestionRanking"), std::string::npos);
  // Switching back restores the order of the sort methods exactly.
  c.SetSuggestionRanking(srkLikelihood);
  c.Suggest("cot");
  c.SetSuggestionRanking(srkSortMethods);
  c.Suggest("cot");
  EXPECT_THAT(Words(c.Suggestions().begin(), c.Suggestions().end()),
              ElementsAre("coat", "act", "cart", "cat", "cut", "dog"));
  // The likelihood ranking is stored and read back.
  c.SetSuggestionRanking(srkLikelihood);
  Register();
  auto copy = ReadComponentAs<TVelkSpellChecker>(WriteComponentToString(c));
  EXPECT_EQ(copy->SuggestionRanking(), srkLikelihood);
}

TEST(SuggestionRankingTest, SoundAlikeKeys) {
  using detail::SoundAlikeKey;
  EXPECT_EQ(SoundAlikeKey("definately"), SoundAlikeKey("definitely"));
  EXPECT_EQ(SoundAlikeKey("fone"), SoundAlikeKey("phone"));
  EXPECT_EQ(SoundAlikeKey("nite"), SoundAlikeKey("knight"));
  EXPECT_EQ(SoundAlikeKey("Sity"), SoundAlikeKey("city"));
  EXPECT_EQ(SoundAlikeKey("luckeley"), SoundAlikeKey("luckily"));
  EXPECT_EQ(SoundAlikeKey("luckily"), "LKL");
  EXPECT_NE(SoundAlikeKey("cat"), SoundAlikeKey("dog"));
  EXPECT_EQ(SoundAlikeKey("12-'"), "");
}

TEST(SuggestionRankingTest, AddingAWordManyTimesAtOnce) {
  TVelkWordloom d(nullptr);
  d.InitFirstSpellNode();
  d.AddToSpell("word", 5);
  d.AddToSpell("word", 3);
  d.AddToSpell("other", 0);
  EXPECT_EQ(d.Frequency("word"), 8u);
  EXPECT_EQ(d.Frequency("other"), 0u);
  EXPECT_THROW(d.AddToSpell("word", UINT32_MAX - 7), EIntOverflow);
  EXPECT_EQ(d.Frequency("word"), 8u);
  d.AddToSpell("word", UINT32_MAX - 8);
  EXPECT_EQ(d.Frequency("word"), UINT32_MAX);
}

}  // namespace
}  // namespace wordloom
