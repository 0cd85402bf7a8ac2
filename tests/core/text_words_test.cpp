// Listing the words of a text as the tokenizer cuts them: positions, the
// included delimiter, the format character's token, and the counters of a
// pass that is going on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

struct Cut {
  std::size_t Start, Length, Span;
  std::string Word;
  bool operator==(const Cut&) const = default;
};

void PrintTo(const Cut& c, std::ostream* os) {
  *os << "{" << c.Start << ", " << c.Length << ", " << c.Span << ", '" << c.Word << "'}";
}

std::vector<Cut> Cuts(TVelkWordloom& dict, std::string_view text) {
  std::vector<Cut> cuts;
  for (const TextWord& w : WordsOfText(dict, text)) cuts.push_back({w.Start, w.Length, w.Span, w.Word});
  return cuts;
}

TEST(TextWordsTest, WordsAndWhereTheyStand) {
  TVelkWordloom dict(nullptr);
  dict.SetDelimiterOption(wldExclFirstSucc);
  EXPECT_EQ(Cuts(dict, "  the cat,  sat"),
            (std::vector<Cut>{{2, 3, 3, "the"}, {6, 3, 3, "cat"}, {12, 3, 3, "sat"}}));
  // A delimiter run at the end gives no word; nor does an empty text.
  EXPECT_EQ(Cuts(dict, "it ,. "), (std::vector<Cut>{{0, 2, 2, "it"}}));
  EXPECT_TRUE(Cuts(dict, "").empty());
  EXPECT_TRUE(Cuts(dict, " , ").empty());
}

TEST(TextWordsTest, IncludedDelimiterBelongsToTheWord) {
  TVelkWordloom dict(nullptr);
  dict.SetDelimiterOption(wldInclFirstSucc);
  EXPECT_EQ(Cuts(dict, "the cat,  sat"),
            (std::vector<Cut>{{0, 3, 4, "the "}, {4, 3, 4, "cat,"}, {10, 3, 3, "sat"}}));
  // At the very end the tokenizer takes the last byte as it comes: a lone
  // delimiter there is a word of its own, with no letters to mark.
  EXPECT_EQ(Cuts(dict, "cat  "), (std::vector<Cut>{{0, 3, 4, "cat "}, {4, 0, 1, " "}}));
}

TEST(TextWordsTest, TheTokenIsLookedUpAsItsReplacement) {
  TVelkWordloom dict(nullptr);
  dict.SetDelimiterOption(wldExclFirstSucc);
  dict.FormatChar()->SetToken('\\');
  // The word keeps its place and length in the text; only its spelling changes.
  const std::vector<TextWord> words = WordsOfText(dict, "a\\b c");
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[0].Start, 0u);
  EXPECT_EQ(words[0].Length, 3u);
  EXPECT_EQ(words[0].Word, "a" + dict.FormatChar()->GetReplacement() + "b");
  EXPECT_EQ(words[1].Word, "c");
}

TEST(TextWordsTest, CutsLikeLearning) {
  TVelkWordloom dict(nullptr);
  dict.SetDelimiterOption(wldInclFirstSucc);
  dict.InitFirstSpellNode();
  const std::string text = "one two, two\nthree  three. end ";
  TMemoryStream stream(text);
  dict.AddStreamToSpell(stream);
  std::uint32_t total = 0;
  for (const TextWord& w : WordsOfText(dict, text)) {
    SCOPED_TRACE(w.Word);
    EXPECT_GT(dict.Frequency(w.Word), 0u);
    EXPECT_EQ(text.substr(w.Start, w.Span), w.Word);
    ++total;
  }
  std::uint32_t learned = 0;
  for (std::uint32_t i = 0; i < dict.WordCount(); ++i) learned += dict.WordTableEntry(i).Frequency;
  EXPECT_EQ(total, learned);
}

TEST(TextWordsTest, LeavesTheCountersOfAPassAlone) {
  TVelkWordloom dict(nullptr);
  dict.SetCharsRead(7);
  dict.SetCharsToRead(42);
  EXPECT_EQ(WordsOfText(dict, "some words").size(), 2u);
  EXPECT_EQ(dict.CharsRead(), 7u);
  EXPECT_EQ(dict.CharsToRead(), 42u);
}

}  // namespace
}  // namespace wordloom
