// The rules around the dictionary that the front ends share: known case forms,
// corrections in the writer's case for both rankings, quotation marks and
// typographic apostrophes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Contains;

// A checker that knows exactly the given words, each with its frequency.
struct Dictionary {
  TVelkSpellChecker checker{nullptr};
  Dictionary(std::initializer_list<std::pair<const char*, std::uint32_t>> words) {
    checker.SetSpellFileOptions({});
    checker.SetDelimiterOption(wldExclFirstSucc);
    // As the tool searches: a swapped last pair is a deletion and an append.
    checker.SetMaxDevAppend(1);
    checker.InitFirstSpellNode();
    for (const auto& [w, n] : words) checker.AddToSpell(w, n);
  }
};

// A word and whether IsKnownWord knows it, ignoring case and minding it.
struct KnownCase {
  const char* word;
  bool known, known_case_sensitive;
};

template <std::size_t N>
void ExpectKnown(TVelkSpellChecker& checker, const KnownCase (&cases)[N]) {
  for (const KnownCase& k : cases) {
    SCOPED_TRACE(k.word);
    EXPECT_EQ(IsKnownWord(checker, k.word, false), k.known);
    EXPECT_EQ(IsKnownWord(checker, k.word, true), k.known_case_sensitive);
  }
}

TEST(SpellingRulesTest, CaseOfAWord) {
  const struct {
    const char* word;
    bool starts_with_capital, all_capitals;
    const char* lower, *upper, *capitalised;
  } kCases[] = {
      {"paris", false, false, "paris", "PARIS", "Paris"},
      {"Paris", true, false, "paris", "PARIS", "Paris"},
      {"PARIS", true, true, "paris", "PARIS", "Paris"},
      {"O'NEIL", true, true, "o'neil", "O'NEIL", "O'neil"},
      {"I", true, false, "i", "I", "I"},
      {"1ST", false, false, "1st", "1ST", "1st"},
      // Unicode case: "ÉCOLE", "École", "école"; "ß" may stay in capitals.
      {"\xC3\x89" "COLE", true, true, "\xC3\xA9" "cole", "\xC3\x89" "COLE", "\xC3\x89" "cole"},
      {"\xC3\xA9" "cole", false, false, "\xC3\xA9" "cole", "\xC3\x89" "COLE", "\xC3\x89" "cole"},
      {"STRA\xC3\x9F" "E", true, true, "stra\xC3\x9F" "e", "STRA\xE1\xBA\x9E" "E", "Stra\xC3\x9F" "e"},
      // Bytes that are no UTF-8 have no case and pass through.
      {"A\xFF" "b", true, false, "a\xFF" "b", "A\xFF" "B", "A\xFF" "b"},
      {"", false, false, "", "", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(StartsWithCapital(c.word), c.starts_with_capital);
    EXPECT_EQ(IsAllCapitals(c.word), c.all_capitals);
    EXPECT_EQ(LowerCase(c.word), c.lower);
    EXPECT_EQ(UpperCase(c.word), c.upper);
    EXPECT_EQ(Capitalised(c.word), c.capitalised);
  }
}

TEST(SpellingRulesTest, CorrectionsTakeTheWritersCase) {
  EXPECT_EQ(InWritersCase("the", "teh"), "the");
  EXPECT_EQ(InWritersCase("the", "Teh"), "The");
  EXPECT_EQ(InWritersCase("the", "TEH"), "THE");
  // A capital of the correction's own stays; shouting makes everything capital.
  EXPECT_EQ(InWritersCase("NASA", "nasaa"), "NASA");
  EXPECT_EQ(InWritersCase("iPhone", "Iphone"), "IPhone");
  EXPECT_EQ(InWritersCase("iPhone", "IPHONR"), "IPHONE");
  // A single capital letter is no shouting.
  EXPECT_EQ(InWritersCase("an", "A"), "An");
  EXPECT_EQ(InWritersCase("\xC3\xA9" "cole", "\xC3\x89" "COEL"), "\xC3\x89" "COLE");
  EXPECT_EQ(InWritersCase("\xC3\xA9" "cole", "\xC3\x89" "coel"), "\xC3\x89" "cole");
}

TEST(SpellingRulesTest, KnownInTheCaseFormsOfADictionaryWord) {
  Dictionary d({{"paris", 1}, {"Paris", 1}, {"london", 1}, {"NASA", 1}, {"it's", 1},
                {"\xC3\xA9" "cole", 1}, {"the", 1}});
  TVelkSpellChecker& c = d.checker;
  const KnownCase kCases[] = {
      {"london", true, true},   {"London", true, false}, {"LONDON", true, false},
      // Unicode case: "École" and "ÉCOLE" of "école".
      {"\xC3\x89" "cole", true, false}, {"\xC3\x89" "COLE", true, false},
      // Only the capitalised and the shouted forms: "THe" is a slip.
      {"The", true, false},     {"THE", true, false},    {"THe", false, false},
      {"ThE", false, false},
      {"lONDON", false, false}, {"Paris", true, true},   {"PARIS", true, false},
      {"NASA", true, true},     {"Nasa", false, false},  {"nasa", false, false},
      {"IT'S", true, false},    {"", false, false},
  };
  ExpectKnown(c, kCases);
  // Words known besides the dictionary follow the same case rules.
  const WordPredicate session = [](const std::string& w) { return w == "wordloom"; };
  EXPECT_TRUE(IsKnownWord(c, "Wordloom", false, session));
  EXPECT_TRUE(IsKnownWord(c, "WORDLOOM", false, session));
  EXPECT_FALSE(IsKnownWord(c, "Wordloom", true, session));
  EXPECT_FALSE(IsKnownWord(c, "Wordloom", false));
}

TEST(SpellingRulesTest, PossessivesAndHyphenatedWords) {
  Dictionary d({{"John", 1},
                {"book", 1},
                {"well", 1},
                {"known", 1},
                {"it", 1},
                {"in", 1},
                {"law", 1},
                {"mother", 1},
                {"let's", 1}});
  TVelkSpellChecker& c = d.checker;
  const KnownCase kCases[] = {
      {"John's", true, true},        {"JOHN'S", true, false},
      {"john's", false, false},      {"book's", true, true},
      {"Book's", true, false},       {"boook's", false, false},
      {"it's", false, false},        {"It's", false, false},
      {"let's", true, true},         {"'s", false, false},
      {"John'", false, false},       {"John'x", false, false},
      {"well-known", true, true},    {"Well-known", true, false},
      {"well-knwon", false, false},  {"mother-in-law's", true, true},
      {"well-", false, false},       {"-well", false, false},
      {"well--known", false, false},
  };
  ExpectKnown(c, kCases);
  // The dictionary decides "it's": known once it holds it.
  c.AddToSpell("it's");
  EXPECT_TRUE(IsKnownWord(c, "it's", true));
}

TEST(SpellingRulesTest, AbbreviationsElisionsAndCamelCase) {
  Dictionary d({{"CD", 1}, {"URL", 1}, {"data", 1}, {"layer", 1}, {"mac", 1}, {"OS", 1},
                {"'tis", 1}, {"em", 1}, {"content", 1}, {"he", 1}, {"t", 1}});
  TVelkSpellChecker& c = d.checker;
  const KnownCase kCases[] = {
      {"CDs", true, true},          {"URLs", true, true},
      {"CDS", false, false},        {"CDx", false, false},
      {"'tis", true, true},         {"'em", true, true},
      {"'emm", false, false},       {"dataLayer", true, false},
      {"macOS", true, true},        {"DOMContent", false, false},
      {"dataLayr", false, false},   {"OSContent", true, false},
      // A hump of one letter is more likely a slip of the shift key.
      {"tHe", false, false},
  };
  ExpectKnown(c, kCases);
  EXPECT_THAT(CamelHumps("DOMContentLoaded"), ElementsAre("DOM", "Content", "Loaded"));
  EXPECT_THAT(CamelHumps("addEventListener"), ElementsAre("add", "Event", "Listener"));
  EXPECT_THAT(CamelHumps("NASA"), ElementsAre("NASA"));
  EXPECT_THAT(CamelHumps("\xC3\xA9t\xC3\x89t\xC3\xA9"), ElementsAre("\xC3\xA9t", "\xC3\x89t\xC3\xA9"));
  EXPECT_THAT(CamelHumps(""), ElementsAre(""));
}

TEST(SpellingRulesTest, CorrectionsKeepTheWritersApostrophe) {
  const struct {
    const char* suggestion;
    const char* typed;
    const char* expected;
  } kCases[] = {
      {"don't", "dom\xE2\x80\x99t", "don\xE2\x80\x99t"},
      {"don't", "dom't", "don't"},
      {"rock'n'roll", "rock\xE2\x80\x99n\xE2\x80\x99rol", "rock\xE2\x80\x99n\xE2\x80\x99roll"},
      // Mixed in the typed word: the suggestion stays as the dictionary has it.
      {"rock'n'roll", "rock'n\xE2\x80\x99rol", "rock'n'roll"},
      {"dont", "dom\xE2\x80\x99t", "dont"},
  };
  for (const auto& k : kCases) {
    SCOPED_TRACE(k.typed);
    EXPECT_EQ(InWritersApostrophes(k.suggestion, k.typed), k.expected);
  }
}

TEST(SpellingRulesTest, QuotationMarksAndTypographicApostrophes) {
  const std::string rsquo(kTypographicApostrophe);
  EXPECT_EQ(WithoutQuotes("'tis'"), "tis");
  EXPECT_EQ(WithoutQuotes(rsquo + "don" + rsquo + "t''" + rsquo), "don" + rsquo + "t");
  EXPECT_EQ(WithoutQuotes("''"), "");
  EXPECT_EQ(FoldApostrophes("don" + rsquo + "t" + rsquo), "don't'");
  // A lone first byte of the sequence is not an apostrophe.
  EXPECT_EQ(FoldApostrophes("a\xE2\x80"), "a\xE2\x80");
  EXPECT_FALSE(HasLetter("1984 -- '"));
  EXPECT_TRUE(HasLetter("\xC3\xA9"));

  Dictionary d({{"don't", 1}, {"cat", 1}});
  EXPECT_TRUE(IsAcceptedWord(d.checker, "'cat'", false));
  EXPECT_TRUE(IsAcceptedWord(d.checker, rsquo + "Don" + rsquo + "t" + rsquo, false));
  EXPECT_TRUE(IsAcceptedWord(d.checker, "1984", false));
  EXPECT_FALSE(IsAcceptedWord(d.checker, "'Don't'", true));
  EXPECT_FALSE(IsAcceptedWord(d.checker, "caat", false));
}

class SuggestionsForTest : public ::testing::TestWithParam<TSuggestionRanking> {};

TEST_P(SuggestionsForTest, WritersCaseLimitAndNoRepeats) {
  Dictionary d({{"the", 50}, {"ten", 5}, {"tea", 3}, {"The", 1}, {"tech", 2}, {"NASA", 4}});
  TVelkSpellChecker& c = d.checker;
  c.SetSuggestionRanking(GetParam());
  c.SetSuggestionLimit(77);

  const std::vector<std::string> lower = SuggestionsFor(c, "teh", 10, false);
  ASSERT_THAT(lower, Contains("the"));
  EXPECT_THAT(lower, Not(Contains("teh")));
  // The capitalised word gets the lower-case word's corrections, capitalised,
  // each once although the dictionary has "the" and "The".
  const std::vector<std::string> capital = SuggestionsFor(c, "Teh", 10, false);
  EXPECT_THAT(capital, Contains("The"));
  for (const std::string& s : capital) {
    SCOPED_TRACE(s);
    EXPECT_TRUE(StartsWithCapital(s));
    EXPECT_EQ(std::count_if(capital.begin(), capital.end(),
                            [&](const std::string& t) { return LowerCase(t) == LowerCase(s); }),
              1);
  }
  const std::vector<std::string> shouted = SuggestionsFor(c, "TEH", 10, false);
  EXPECT_THAT(shouted, Contains("THE"));
  for (const std::string& s : shouted) EXPECT_EQ(s, UpperCase(s));

  EXPECT_EQ(SuggestionsFor(c, "teh", 2, false).size(), 2u);
  EXPECT_THAT(SuggestionsFor(c, "teh", 0, false), IsEmpty());
  EXPECT_THAT(SuggestionsFor(c, "", 5, false), IsEmpty());
  // The caller's limit is left as it was.
  EXPECT_EQ(c.SuggestionLimit(), 77u);
}

TEST_P(SuggestionsForTest, CaseSensitiveOffersTheDictionarysSpellings) {
  Dictionary d({{"the", 50}, {"ten", 5}});
  d.checker.SetSuggestionRanking(GetParam());
  for (const std::string& s : SuggestionsFor(d.checker, "Teh", 10, true)) {
    SCOPED_TRACE(s);
    EXPECT_GT(d.checker.Frequency(s), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(BothRankings, SuggestionsForTest,
                         ::testing::Values(srkLikelihood, srkSortMethods),
                         [](const auto& info) {
                           return info.param == srkLikelihood ? "Likelihood" : "SortMethods";
                         });

TEST(SpellingRulesTest, SortMethodsSearchTheLowerCaseFormFirst) {
  // "Cqt" as written is a substitution more from every word than "cqt" is.
  Dictionary d({{"cat", 1}, {"cot", 1}, {"Cqtz", 1}});
  TVelkSpellChecker& c = d.checker;
  c.SetSuggestionRanking(srkSortMethods);
  c.Suggest("cqt");
  std::vector<std::string> expected;
  for (const std::string& s : c.Suggestions()) expected.push_back(InWritersCase(s, "C"));
  ASSERT_THAT(expected, ElementsAre("Cat", "Cot", "Cqtz"));
  EXPECT_EQ(SuggestionsFor(c, "Cqt", 10, false), expected);
  EXPECT_EQ(SuggestionsFor(c, "CQT", 10, false), (std::vector<std::string>{"CAT", "COT", "CQTZ"}));
}

}  // namespace
}  // namespace wordloom
