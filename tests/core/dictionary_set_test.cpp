// Several dictionaries as one: known when any knows a word, corrections of
// all in one order, personal words that change no dictionary.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checking/likelihood_ranking.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using ::testing::Contains;
using ::testing::ElementsAreArray;
using ::testing::Not;

struct Dictionary {
  TVelkSpellChecker checker{nullptr};
  Dictionary(std::initializer_list<std::pair<const char*, std::uint32_t>> words) {
    checker.SetSpellFileOptions({});
    checker.SetDelimiterOption(wldExclFirstSucc);
    checker.SetDelimiters(Utf8Delimiters());
    checker.SetSuggestionRanking(srkLikelihood);
    checker.InitFirstSpellNode();
    for (const auto& [w, n] : words) checker.AddToSpell(w, n);
  }
};

TEST(DictionarySet, AWordIsKnownWhenAnyDictionaryKnowsIt) {
  Dictionary us({{"color", 50}, {"the", 900}, {"Paris", 5}});
  Dictionary gb({{"colour", 40}, {"the", 900}, {"blind", 9}});
  DictionarySet set;
  set.Add(us.checker);
  set.Add(gb.checker);
  for (const char* word : {"color", "colour", "Colour", "COLOUR", "PARIS", "colour's",
                           "colour-blind", "color-blind"}) {
    SCOPED_TRACE(word);
    EXPECT_TRUE(set.IsKnown(word, false));
  }
  EXPECT_FALSE(set.IsKnown("Colour", true));
  EXPECT_FALSE(set.IsKnown("colr", false));
  EXPECT_FALSE(set.IsKnown("colour-blnd", false));
  EXPECT_TRUE(set.IsKnown("colr", false, [](const std::string& w) { return w == "colr"; }));
}

TEST(DictionarySet, CorrectionsOfAllComeInOneOrderEachOnce) {
  Dictionary us({{"color", 5000}, {"cold", 200}, {"Paris", 100}, {"colt", 3}});
  Dictionary gb({{"colour", 4000}, {"cold", 200}, {"paris", 2}});
  DictionarySet set;
  set.Add(us.checker);
  set.Add(gb.checker);
  const std::vector<std::string> merged = set.Suggestions("colr", 10, false);
  EXPECT_THAT(merged, Contains("color"));
  EXPECT_THAT(merged, Contains("colour"));
  EXPECT_EQ(std::count(merged.begin(), merged.end(), "cold"), 1);
  // The order is the ranking's score over both.
  detail::LikelihoodRanker ranker;
  double previous = 1e300;
  for (const std::string& w : merged) {
    const std::uint32_t frequency = std::max(us.checker.Frequency(w), gb.checker.Frequency(w));
    const double score = ranker.ScoreCorrection("colr", w, frequency).Score;
    EXPECT_LE(score, previous) << w;
    previous = score;
  }
  EXPECT_EQ(set.Suggestions("colr", 2, false).size(), 2u);
  // One spelling in two cases is offered once.
  const std::vector<std::string> paris = set.Suggestions("Pariss", 10, false);
  EXPECT_EQ(std::count_if(paris.begin(), paris.end(),
                          [](const std::string& s) { return LowerCase(s) == "paris"; }),
            1);
}

TEST(DictionarySet, OneDictionaryGivesItsOwnCorrectionsInBothRankings) {
  for (const TSuggestionRanking ranking : {srkLikelihood, srkSortMethods}) {
    Dictionary d({{"the", 900}, {"then", 90}, {"ten", 40}, {"tea", 30}});
    Dictionary alone({{"the", 900}, {"then", 90}, {"ten", 40}, {"tea", 30}});
    d.checker.SetSuggestionRanking(ranking);
    alone.checker.SetSuggestionRanking(ranking);
    DictionarySet set;
    set.Add(d.checker);
    EXPECT_THAT(set.Suggestions("Teh", 5, false),
                ElementsAreArray(SuggestionsFor(alone.checker, "Teh", 5, false)));
  }
}

TEST(DictionarySet, PersonalWordsAreKnownAndOfferedWithoutChangingADictionary) {
  Dictionary us({{"word", 100}, {"loom", 10}});
  DictionarySet set;
  set.Add(us.checker);
  set.AddPersonalWord("Wordloom");
  set.AddPersonalWord("Wordloom");
  EXPECT_TRUE(set.IsKnown("Wordloom", false));
  EXPECT_TRUE(set.IsKnown("WORDLOOM", false));
  EXPECT_THAT(set.Suggestions("Wordlom", 5, false), Contains("Wordloom"));
  EXPECT_EQ(us.checker.WordCount(), 2u);
  EXPECT_EQ(us.checker.Frequency("Wordloom"), 0u);
  // The sort methods merge by edit distance.
  set.SetSuggestionRanking(srkSortMethods);
  EXPECT_EQ(us.checker.SuggestionRanking(), srkSortMethods);
  EXPECT_THAT(set.Suggestions("Wordlom", 5, false), Contains("Wordloom"));
  EXPECT_THAT(set.Suggestions("", 5, false), Not(Contains("word")));
}

TEST(LikelihoodRanking, ScoreCorrectionOrdersAsRankDoes) {
  Dictionary d({{"receive", 3000}, {"relieve", 800}, {"recipe", 400}, {"deceive", 300},
                {"revive", 100}, {"receiver", 600}, {"perceive", 200}});
  d.checker.SetSuggestionLimit(0);
  detail::LikelihoodRanker ranker;
  for (const char* typo : {"recieve", "recive", "reseeve", "receve"}) {
    SCOPED_TRACE(typo);
    d.checker.Suggest(typo);
    ASSERT_GT(d.checker.Suggestions().Count(), 1);
    double previous = 1e300;
    for (const std::string& w : d.checker.Suggestions()) {
      const double score = ranker.ScoreCorrection(typo, w, d.checker.Frequency(w)).Score;
      EXPECT_LE(score, previous + 1e-9) << w;
      previous = score;
    }
  }
}

}  // namespace
}  // namespace wordloom
