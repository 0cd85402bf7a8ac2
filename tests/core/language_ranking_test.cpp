// The likelihood ranking in languages other than English: costs count
// letters rather than bytes, an accent left off is cheap, keyboard
// neighbours follow the language's layout, sound-alike keys count only for
// English, and the compact form of a dictionary in another language (which
// carries no sound-alike index) answers as its trie does.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wordloom/wordloom.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "checking/compact_form.h"
#include "checking/likelihood_ranking.h"
#include "dictionary/word_trie.h"
#include "support/compact_form.h"
#include "support/temp_dir.h"

namespace wordloom {
namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;
using ::testing::Contains;
using ::testing::Not;
using Words = std::vector<std::string>;

class Speller : public TVelkSpellChecker {
 public:
  explicit Speller(const std::string& language, const std::string& folder = {})
      : TVelkSpellChecker(nullptr) {
    SetSpellFileOptions({});
    SetSuggestionRanking(srkLikelihood);
    SetLanguage(language);
    SetCompactFormFolder(folder);
  }
  void Add(const std::vector<std::pair<std::string, std::uint32_t>>& counts) {
    if (NodeCount() == 0) InitFirstSpellNode();
    for (const auto& [word, count] : counts) AddToSpell(word, count);
  }
  Words Suggested(const std::string& typo) {
    Suggest(typo);
    return Words(Suggestions().begin(), Suggestions().end());
  }
  std::string First(const std::string& typo) {
    const Words w = Suggested(typo);
    return w.empty() ? std::string() : w.front();
  }
};

// The edit cost the ranking charges for Word typed as Typo in Language.
int Cost(const std::string& language, const std::string& typo, const std::string& word) {
  detail::LikelihoodRanker ranker;
  ranker.SetLanguage(detail::TypingLanguageFor(language));
  return ranker.ScoreCorrection(typo, word, 1).Cost;
}

TEST(LanguageRankingTest, AnAccentLeftOffOrAddedRanksTheAccentedWordFirst) {
  // Each accented word is less common than a rival one plain edit away.
  const struct {
    const char* Language;
    std::vector<std::pair<std::string, std::uint32_t>> Words;
    const char* Typo;
    const char* Expected;
  } kCases[] = {
      {"de", {{"über", 10}, {"aber", 200}, {"ober", 100}}, "uber", "über"},
      {"de", {{"Straße", 10}, {"Strasser", 50}, {"Strahl", 100}}, "Strasse", "Straße"},
      {"de", {{"bloß", 10}, {"blass", 10}, {"Floss", 10}}, "bloss", "bloß"},
      {"fr", {{"café", 5}, {"cage", 50}, {"cafard", 100}}, "cafe", "café"},
      {"fr", {{"été", 20}, {"te", 500}, {"tête", 100}}, "eté", "été"},
      {"es", {{"año", 10}, {"aro", 200}, {"amo", 200}}, "ano", "año"},
      {"es", {{"canción", 10}, {"canciones", 200}, {"cansino", 100}}, "cancíon", "canción"},
      {"ru", {{"ёлка", 10}, {"булка", 300}, {"полка", 300}}, "елка", "ёлка"},
      {"ru", {{"йогурт", 10}, {"огурец", 300}}, "иогурт", "йогурт"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.Language) + " " + c.Typo);
    Speller s(c.Language);
    s.Add(c.Words);
    EXPECT_EQ(s.First(c.Typo), c.Expected);
  }
  EXPECT_EQ(Cost("fr", "cafe", "café"), detail::TypoModel().AccentSubstitute);
  // ß written ss and ss written ß are one accent too, in capitals as well.
  EXPECT_EQ(Cost("de", "Strasse", "Straße"), detail::TypoModel().AccentSubstitute);
  EXPECT_EQ(Cost("de", "STRASSE", "Straße"), detail::TypoModel().AccentSubstitute);
  EXPECT_EQ(Cost("de", "weiß", "weiss"), detail::TypoModel().AccentSubstitute);
  EXPECT_EQ(Cost("de", "Grusse", "Grüße"), 2 * detail::TypoModel().AccentSubstitute);
  // A word written in capitals with its ß comes first for itself as written,
  // not in capitals of another spelling ("STRAẞE").
  Speller sign("de");
  sign.Add({{"STRAßE", 1}, {"Straße", 10}});
  EXPECT_EQ(sign.First("STRAßE"), "STRAßE");
  EXPECT_EQ(Cost("fr", "café", "cafe"), detail::TypoModel().AccentSubstitute);
  // Capitals fold before accents are compared, and a capital's accent costs
  // no first-letter extra: "Ecole" for "École".
  EXPECT_EQ(Cost("fr", "ecole", "École"), detail::TypoModel().AccentSubstitute);
}

TEST(LanguageRankingTest, KeyboardNeighboursFollowTheLanguagesLayout) {
  const int neighbour = detail::TypoModel().NeighbourSubstitute;
  const int other = detail::TypoModel().Substitute;
  const struct {
    const char* Language;
    const char* Word;
    const char* Near;  // the middle letter typed with a key next to it
    const char* Far;   // with a key elsewhere
  } kCases[] = {
      {"en", "oso", "ozo", "oyo"},  // QWERTY: z below s, y far above
      {"de", "oso", "oyo", "ozo"},  // QWERTZ: y and z change places
      {"fr", "omo", "olo", "ono"},  // AZERTY: m at the end of the middle row
      {"en", "omo", "ono", "olo"},  // QWERTY: m beside n
      {"es", "oño", "olo", "oko"},  // Spanish QWERTY: ñ beside l
      {"ru", "ово", "оыо", "одо"},  // ЙЦУКЕН: ы beside в, д far right
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.Language) + " " + c.Word);
    EXPECT_EQ(Cost(c.Language, c.Near, c.Word), neighbour);
    EXPECT_EQ(Cost(c.Language, c.Far, c.Word), other);
  }
  // A Cyrillic letter has no neighbours on an English keyboard.
  EXPECT_EQ(Cost("en", "оыо", "ово"), other);
}

TEST(LanguageRankingTest, EditsCountLettersNotBytes) {
  const detail::TypoModel m;
  // One letter of two bytes substituted, dropped, added or swapped is one edit.
  EXPECT_EQ(Cost("ru", "кожа", "кора"), m.Substitute);
  EXPECT_EQ(Cost("ru", "слво", "слово"), m.Delete);
  EXPECT_EQ(Cost("ru", "слоово", "слово"), m.DoubledInsert);
  EXPECT_EQ(Cost("ru", "солво", "слово"), m.Transpose);
  EXPECT_EQ(Cost("de", "Grüße", "Grüeß"), m.Transpose);
  // Letters of three and four bytes too.
  EXPECT_EQ(Cost("en", "a€b", "a$b"), m.Substitute);
  EXPECT_EQ(Cost("en", "a😀b", "ab"), m.Insert);
  // A Russian word of 29 letters (58 bytes) is within the length searched.
  Speller s("ru");
  const std::string long_word = "электроэнцефалографических" "ооо";
  s.Add({{long_word, 3}});
  EXPECT_THAT(s.Suggested("электроэнцефалографичских" "ооо"), Contains(long_word));
}

TEST(LanguageRankingTest, SoundAlikesCountOnlyForEnglish) {
  Speller english("en_US");
  english.Add({{"phonetic", 20}, {"fanatic", 1}});
  EXPECT_THAT(english.Suggested("fonetik"), Contains("phonetic"));
  Speller german("de_DE");
  german.Add({{"phonetic", 20}, {"fanatic", 1}});
  EXPECT_THAT(german.Suggested("fonetik"), Not(Contains("phonetic")));
  // The score of the same correction differs by the sound bonus alone.
  detail::LikelihoodRanker en, de;
  de.SetLanguage(detail::TypingLanguageFor("de"));
  const auto with = en.ScoreCorrection("definately", "definitely", 25);
  const auto without = de.ScoreCorrection("definately", "definitely", 25);
  EXPECT_EQ(with.Cost, without.Cost);
  EXPECT_DOUBLE_EQ(with.Score - without.Score, detail::TypoModel().SoundBonus);
  // Switching the language of an open dictionary takes effect at once.
  german.SetLanguage("en");
  EXPECT_THAT(german.Suggested("fonetik"), Contains("phonetic"));
}

TEST(LanguageRankingTest, PersonalWordsAreRankedInThePrimaryDictionarysLanguage) {
  for (const char* language : {"en", "de"}) {
    SCOPED_TRACE(language);
    Speller primary(language);
    primary.Add({{"fanatic", 1}});
    DictionarySet set;
    set.Add(primary);
    set.AddPersonalWord("phonetic");
    const Words got = set.Suggestions("fonetik", 10, false);
    if (std::string(language) == "en") {
      EXPECT_THAT(got, Contains("phonetic"));
    } else {
      EXPECT_THAT(got, Not(Contains("phonetic")));
    }
  }
}

TEST(LanguageRankingTest, LanguageComesFromTheDictionarysName) {
  const struct {
    const char* Name;
    const char* Language;
  } kCases[] = {
      {"de_DE", "de"},          {"/usr/share/wordloom/fr.spl", "fr"}, {"es-ES", "es"},
      {"ru_RU.spl", "ru"},      {"deutsch", "de"},                    {"en", "en"},
      {"book.spl", "en"},       {"notes/my_words.spl", "en"},         {"pt_BR", "pt"},
      {"es_419", "es"},         {"de_DE_frami.spl", "de"},            {"", "en"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(DictionaryLanguage(c.Name), c.Language) << c.Name;
  }
  // The stored form keeps a language that was set, and only then.
  Speller fr("fr_FR");
  EXPECT_THAT(WriteComponentToString(fr), ::testing::HasSubstr("Language = \"fr_FR\""));
  Speller en("");
  EXPECT_THAT(WriteComponentToString(en), Not(::testing::HasSubstr("Language")));
}

// Words with letters of one to four bytes, shared endings, capitals, and two
// that are no valid UTF-8 (a letter cut short, a lone continuation byte).
const std::vector<std::pair<std::string, std::uint32_t>> kGermanAndMore = {
    {"über", 40},    {"Übung", 12},  {"übel", 9},    {"Straße", 30}, {"Strauß", 4},
    {"Mädchen", 20}, {"Märchen", 8}, {"möchte", 50}, {"mochte", 10}, {"Größe", 15},
    {"groß", 60},    {"größer", 22}, {"Köln", 7},    {"König", 11},  {"können", 70},
    {"kennen", 30},  {"ёлка", 3},    {"€uro", 2},    {"a😀b", 1},    {"grö\xC3", 1},
    {"x\xBCy", 1},   {"Äpfel", 5},   {"Apfel", 9},   {"Öl", 6},      {"ol", 1},
};
const char* const kGermanTypos[] = {"uber",   "Ubung",  "Strasse", "Madchen", "mochte", "grosse",
                                    "Grösse", "Koln",   "konnen",  "kenen",   "elka",   "euro",
                                    "a😀",    "gro",    "xy",      "Apfl",    "Ol",     "ö",
                                    "möchet", "grö\xC3\xC3", "Straß", "Groß"};

TEST(LanguageRankingTest, CompactFormWithoutSoundIndexAnswersAsTheTrie) {
  TempDir dir;
  const std::string spell = dir.File("de_DE.spl");
  {
    Speller maker("de");
    maker.SetDelimiters(Utf8Delimiters());
    maker.Add(kGermanAndMore);
    maker.SaveSpellFile(spell, false);
  }
  const std::string cache = dir.File("cache");
  Speller plain("de");
  plain.OpenSpellFile(spell);
  Speller made("de", cache);  // makes the form in the cache
  made.OpenSpellFile(spell);
  Speller mapped("de", cache);  // opens through it
  mapped.OpenSpellFile(spell);
  ASSERT_TRUE(made.UsesCompactForm());
  ASSERT_TRUE(mapped.UsesCompactForm());
  for (const char* typo : kGermanTypos) {
    SCOPED_TRACE(typo);
    const Words expected = plain.Suggested(typo);
    EXPECT_EQ(made.Suggested(typo), expected);
    EXPECT_EQ(mapped.Suggested(typo), expected);
  }
  EXPECT_EQ(plain.First("uber"), "über");
  EXPECT_EQ(plain.First("Madchen"), "Mädchen");

  // The form in the cache has no sound-alike index, under a name of its own;
  // an English reader of the same file makes its own form with the index.
  auto forms = [&cache] {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(cache)) {
      if (e.path().extension() == ".compact") found.push_back(e.path());
    }
    std::sort(found.begin(), found.end());
    return found;
  };
  ASSERT_EQ(forms().size(), 1u);
  const fs::path without = forms().front();
  EXPECT_THAT(without.filename().string(), ::testing::EndsWith("-nosound.compact"));
  Speller english("en", cache);
  english.OpenSpellFile(spell);
  EXPECT_TRUE(english.UsesCompactForm());
  ASSERT_EQ(forms().size(), 2u);
  const fs::path with = forms().front() == without ? forms().back() : forms().front();
  EXPECT_LT(fs::file_size(without), fs::file_size(with));
}

TEST(LanguageRankingTest, EnglishAfterOpeningThroughAFormWithoutIndexStillFindsSoundAlikes) {
  TempDir dir;
  const std::string spell = dir.File("fr.spl");
  {
    Speller maker("fr");
    maker.Add({{"phonetic", 20}, {"fanatic", 1}});
    maker.SaveSpellFile(spell, false);
  }
  Speller first("fr", dir.File("cache"));
  first.OpenSpellFile(spell);  // makes the form without the index
  Speller s("fr", dir.File("cache"));
  s.OpenSpellFile(spell);
  ASSERT_TRUE(s.UsesCompactForm());
  EXPECT_THAT(s.Suggested("fonetik"), Not(Contains("phonetic")));
  s.SetLanguage("en");
  EXPECT_THAT(s.Suggested("fonetik"), Contains("phonetic"));
  EXPECT_EQ(s.Frequency("phonetic"), 20u);
}

// A dictionary's trie, for a ranker of a test's own.
class TrieOf : public TVelkSpellChecker {
 public:
  explicit TrieOf(const Words& words) : TVelkSpellChecker(nullptr) {
    InitFirstSpellNode();
    for (std::size_t i = 0; i < words.size(); ++i) AddToSpell(words[i], 1 + i % 7);
  }
  const detail::WordTrie& Trie() const { return *FNodeList; }
};

// The compact form of a trie, opened (Form null and Why set if it was
// refused), and a view of it with nothing changed since.
struct FormOf {
  explicit FormOf(const detail::WordTrie& Trie)
      : Form(testing_support::OpenBuiltForm(detail::CompactForm::Build(Trie, {1, 2, 3}), Why)) {
    View.Form = Form.get();
  }
  std::string Why;
  std::shared_ptr<const detail::CompactForm> Form;
  detail::CompactView View;
};

// The search takes shortcuts: rows of the edit-cost table worked out
// sixteen costs at a time where the typo has room, and no rows at all where
// only matches can follow. The plain search must give the same costs and
// suggestions, for typos with swaps, doubled letters, accents, ß and
// apostrophes, for typos of 15 and of 16 letters (the last that fit and the
// first that do not), and for costs that run past a byte.
TEST(LanguageRankingTest, ShortcutsAgreeWithThePlainSearch) {
  std::mt19937 rng(11);
  const char* const kPieces[] = {"a", "e", "i", "o", "n", "s", "t", "r", "ß", "é", "ü", "'", "ss", "ll", "k"};
  auto random_word = [&](std::size_t letters) {
    std::string w;
    for (std::size_t i = 0; i < letters; ++i) w += kPieces[rng() % std::size(kPieces)];
    return w;
  };
  // A typo of Word: two letters swapped, one left out or one changed.
  auto misspelled = [&](std::string w) {
    if (w.size() < 2) return w + "e";
    const std::size_t at = rng() % (w.size() - 1);
    switch (rng() % 3) {
      case 0: std::swap(w[at], w[at + 1]); break;
      case 1: w.erase(at, 1); break;
      default: w[at] = 'x'; break;
    }
    return w;
  };
  detail::TypoModel wide;
  wide.SoundEditCap = 254;  // every cost up to the ceiling, not only the cheap ones
  for (const char* language : {"en", "de", "fr"}) {
    SCOPED_TRACE(language);
    detail::LikelihoodRanker together(wide), apart(wide);
    apart.SetPlainSearch(true);
    for (auto* r : {&together, &apart}) r->SetLanguage(detail::TypingLanguageFor(language));
    Words words;
    for (int i = 0; i < 400; ++i) {
      const std::string word = random_word(1 + rng() % 20);
      const std::string typo = i % 4 == 0 ? random_word(1 + rng() % 20) : misspelled(word);
      SCOPED_TRACE(typo + " for " + word);
      EXPECT_EQ(together.ScoreCorrection(typo, word, 9).Cost, apart.ScoreCorrection(typo, word, 9).Cost);
      words.push_back(word);
    }
    // Letters typed too many in a run as long as the typo, and left out.
    for (std::size_t letters = 1; letters <= 18; ++letters) {
      const std::string typo = random_word(letters);
      for (const std::string& word : {typo.substr(0, 1), typo + random_word(letters)}) {
        EXPECT_EQ(together.ScoreCorrection(typo, word, 9).Cost, apart.ScoreCorrection(typo, word, 9).Cost);
      }
    }
    for (std::size_t letters : {15, 16}) {
      const std::string word = std::string(letters - 2, 'a') + "ss";
      const std::string typo = std::string(letters - 3, 'a') + "sas";
      EXPECT_EQ(together.ScoreCorrection(typo, word, 9).Cost, apart.ScoreCorrection(typo, word, 9).Cost);
      EXPECT_EQ(together.ScoreCorrection(typo, word, 9).Cost, wide.Transpose);
    }
    // Over the trie, and over its compact form, whose walk also leaves
    // branches by the letters below them (typos with an x, which no word
    // has, and random typos make most of those fail).
    const TrieOf dictionary(words);
    const FormOf form(dictionary.Trie());
    ASSERT_TRUE(form.Form) << form.Why;
    const detail::CompactView& view = form.View;
    for (std::size_t i = 0; i < words.size(); i += 3) {
      const std::string typo = i % 2 == 0 ? misspelled(words[i]) : random_word(1 + rng() % 16);
      SCOPED_TRACE(typo);
      Words a, b, c, d;
      together.Rank(dictionary.Trie(), typo, 0, a);
      apart.Rank(dictionary.Trie(), typo, 0, b);
      together.Rank(view, typo, 0, c);
      apart.Rank(view, typo, 0, d);
      EXPECT_EQ(a, b);
      EXPECT_EQ(a, c);
      EXPECT_EQ(a, d);
    }
  }
}

// Rank puts its words in the order of the scores ScoreCorrection gives
// each alone, over the trie and its compact form. English sound-alike words
// are costed one after another, each from the rows it shares with the word
// before and stopping once a row reaches the cap: stems with endings make
// long shared beginnings, and a low cap makes many rows reach it.
TEST(LanguageRankingTest, RankOrdersWordsByTheScoresEachHasAlone) {
  std::mt19937 rng(17);
  Words words;
  for (const char* stem : {"cat", "kat", "cath", "fon", "phon", "fone", "nite", "night", "rite", "write", "right"}) {
    for (const char* end : {"", "e", "er", "ers", "ing", "ic", "ical", "ically", "alogue", "ography", "ographically"}) {
      words.push_back(std::string(stem) + end);
    }
  }
  std::map<std::string, std::uint32_t> frequency;
  for (std::size_t i = 0; i < words.size(); ++i) frequency[words[i]] = 1 + i % 7;  // as TrieOf adds them
  const TrieOf dictionary(words);
  const FormOf form(dictionary.Trie());
  ASSERT_TRUE(form.Form) << form.Why;
  // A cap just past the walks' bounds, which many rows reach.
  detail::TypoModel model;
  model.SoundEditCap = model.WideBound + 1;
  detail::LikelihoodRanker ranker(model), alone(model);
  Words typos = {"fonetikally", "kathalog", "nitely", "riting", "phoneografy", "ritographicaly", "kattalogue"};
  for (int i = 0; i < 400; ++i) {
    std::string typo = words[rng() % words.size()];
    for (int edits = 1 + i % 3; edits > 0; --edits) typo[rng() % typo.size()] = "aeiouktfh"[rng() % 9];
    if (typo.size() > 3) typo.erase(rng() % typo.size(), 1);
    if (frequency.count(typo) == 0) typos.push_back(typo);
  }
  for (const std::string& typo : typos) {
    SCOPED_TRACE(typo);
    Words from_trie, from_form;
    ranker.Rank(dictionary.Trie(), typo, 0, from_trie);
    ranker.Rank(form.View, typo, 0, from_form);
    EXPECT_EQ(from_form, from_trie);
    double last = 1e9;
    for (const std::string& w : from_trie) {
      const double score = alone.ScoreCorrection(typo, w, frequency.at(w)).Score;
      EXPECT_LE(score, last) << w;
      last = score;
    }
  }
}

// The walk leaves a branch only where no word below it can stay within the
// bound, so it finds every word within it. The hard case is two letters
// swapped right after another edit: the row of the first of them passes the
// bound and the swap brings the next one back within it ("operset" for
// "operate"). Checked against the cost of every word of the dictionary,
// over the trie and its compact form, with no sound-alikes to add words;
// words of 3 to 20 letters, so that rows are worked out both sixteen costs
// at a time and one by one.
TEST(LanguageRankingTest, TheWalkFindsEveryWordWithinTheBound) {
  std::mt19937 rng(5);
  const std::string vowels = "aeiou";
  const std::string letters = "aeiounstrlkdmp";
  auto random_word = [&] {
    std::string w;
    for (std::size_t i = 0, n = 3 + rng() % 18; i < n; ++i) w += letters[rng() % letters.size()];
    return w;
  };
  // A vowel written for another, then two different letters swapped.
  auto misspelled = [&](std::string w) {
    for (std::size_t i = 0; i < w.size(); ++i) {
      if (vowels.find(w[i]) == std::string::npos) continue;
      w[i] = vowels[(vowels.find(w[i]) + 1 + rng() % 4) % vowels.size()];
      break;
    }
    for (std::size_t tries = 0; tries < 4 && w.size() >= 2; ++tries) {
      const std::size_t at = rng() % (w.size() - 1);
      if (w[at] == w[at + 1]) continue;
      std::swap(w[at], w[at + 1]);
      break;
    }
    return w;
  };
  Words words;
  for (int i = 0; i < 300; ++i) words.push_back(random_word());
  words.push_back("operate");
  const TrieOf dictionary(words);
  const FormOf form(dictionary.Trie());
  ASSERT_TRUE(form.Form) << form.Why;
  const detail::CompactView& view = form.View;
  // Two letters left out, the first letter kept.
  auto shortened = [&](std::string w) {
    for (int i = 0; i < 2 && w.size() > 2; ++i) w.erase(1 + rng() % (w.size() - 1), 1);
    return w;
  };
  // The usual model, and one that never searches again with the wide bound
  // (which would otherwise find a word the first search missed); and one
  // where a plain letter left out costs less than one of a double letter
  // or an apostrophe, so that words two letters longer than the typo are
  // within the bound.
  detail::TypoModel once;
  once.FewCandidates = 0;
  detail::TypoModel cheap_deletions = once;
  cheap_deletions.Delete = 6;
  cheap_deletions.DoubleDelete = 12;
  cheap_deletions.ApostropheDelete = 13;
  Words typos = {"operset"};
  for (int i = 0; i < 200; ++i) typos.push_back(misspelled(words[rng() % words.size()]));
  for (int i = 0; i < 100; ++i) typos.push_back(shortened(words[rng() % words.size()]));
  for (const detail::TypoModel& model : {detail::TypoModel(), once, cheap_deletions}) {
    detail::LikelihoodRanker ranker(model);
    ranker.SetLanguage(detail::TypingLanguageFor("xx"));  // no sound-alike keys
    ASSERT_FALSE(ranker.Language().SoundAlike);
    for (const std::string& typo : typos) {
      SCOPED_TRACE(typo);
      // Within the bound, or the wide one when nothing is and the model searches again.
      const int bound = typo.size() <= 4 ? model.ShortBound : model.Bound;
      std::set<std::string> within, within_wide;
      for (const std::string& w : words) {
        const int cost = ranker.ScoreCorrection(typo, w, 1).Cost;
        if (cost <= bound) within.insert(w);
        if (cost <= model.WideBound) within_wide.insert(w);
      }
      const std::set<std::string>& expected =
          within.empty() && model.FewCandidates > 0 ? within_wide : within;
      Words from_trie, from_form;
      ranker.Rank(dictionary.Trie(), typo, 0, from_trie);
      ranker.Rank(view, typo, 0, from_form);
      EXPECT_EQ(std::set<std::string>(from_trie.begin(), from_trie.end()), expected);
      EXPECT_EQ(std::set<std::string>(from_form.begin(), from_form.end()), expected);
    }
  }
}

// Where a long typo's sound-alike words are all beyond the bound, the walk
// starts with the wide bound at once, and must keep exactly what walking
// within the bound and then, if that found nothing, within the wide one
// would have: the words within the bound alone where there are any. Over
// the trie and its compact form, against the plain search, which walks
// twice, for typos whose first letter is another (within the bound of
// their word, though no sound-alike, with a word beyond it that the wide
// bound would bring), and typos two edits off (nothing within the bound).
TEST(LanguageRankingTest, StartingWideKeepsWhatTheNarrowWalkWouldHave) {
  std::mt19937 rng(17);
  const std::string consonants = "bdlmnprst", vowels = "aeiou";
  auto random_word = [&] {
    std::string w;
    for (std::size_t i = 0, n = 7 + rng() % 4; i < n; ++i) {
      w += i % 2 == 0 ? consonants[rng() % consonants.size()] : vowels[rng() % vowels.size()];
    }
    return w;
  };
  auto other = [&](const std::string& from, char c) {
    return from[(from.find(c) + 1 + rng() % (from.size() - 1)) % from.size()];
  };
  Words words, typos;
  for (int i = 0; i < 150; ++i) {
    const std::string w = random_word();
    words.push_back(w);
    // The same word with its second vowel another: beyond the bound of
    // the typo below, within the wide one.
    std::string near = w;
    near[3] = other(vowels, near[3]);
    words.push_back(near);
    std::string first = w;
    first[0] = other(consonants, first[0]);
    typos.push_back(first);
    // Two consonants written for others.
    std::string two = w;
    two[2] = other(consonants, two[2]);
    two[4] = other(consonants, two[4]);
    typos.push_back(two);
  }
  const TrieOf dictionary(words);
  const FormOf form(dictionary.Trie());
  ASSERT_TRUE(form.Form) << form.Why;
  detail::LikelihoodRanker quick, plain;
  plain.SetPlainSearch(true);
  std::size_t narrow = 0, wide = 0;
  for (const std::string& typo : typos) {
    SCOPED_TRACE(typo);
    Words a, b, c, d;
    quick.Rank(dictionary.Trie(), typo, 0, a);
    plain.Rank(dictionary.Trie(), typo, 0, b);
    quick.Rank(form.View, typo, 0, c);
    plain.Rank(form.View, typo, 0, d);
    EXPECT_EQ(a, b);
    EXPECT_EQ(c, d);
    EXPECT_EQ(a, c);
    bool within = false;
    for (const std::string& w : b) within = within || plain.ScoreCorrection(typo, w, 1).Cost <= plain.Model().Bound;
    ++(within ? narrow : wide);
  }
  // Both cases occur often.
  EXPECT_GT(narrow, 50u);
  EXPECT_GT(wide, 50u);
}

// A sound-alike word costs what the walk finds it at and, beyond the bound
// the walks went to, at most the model's cap for sound-alike words: with a
// cap below the wide bound, such a word scores at the cap, however far its
// cost was worked out. Rank's order checked against each word's score
// with the cap and without it, for typos with words within the bound and
// typos without.
TEST(LanguageRankingTest, SoundAlikeWordsBeyondTheWalksCostAtMostTheCap) {
  std::mt19937 rng(23);
  const std::string consonants = "bdlmnprst", vowels = "aeiou";
  std::set<std::string> unique;
  while (unique.size() < 400) {
    std::string w;
    for (std::size_t i = 0, n = 5 + rng() % 5; i < n; ++i) {
      w += i % 2 == 0 ? consonants[rng() % consonants.size()] : vowels[rng() % vowels.size()];
    }
    unique.insert(w);
  }
  const Words words(unique.begin(), unique.end());
  const TrieOf dictionary(words);
  detail::TypoModel capped, uncapped;
  capped.SoundEditCap = 12;
  uncapped.SoundEditCap = 254;
  detail::LikelihoodRanker ranker(capped), with_cap(capped), without_cap(uncapped);
  std::size_t beyond = 0;
  for (int i = 0; i < 200; ++i) {
    // One or two consonants written for others.
    std::string typo = words[rng() % words.size()];
    for (int k = 0; k < 1 + i % 2; ++k) {
      const std::size_t at = 2 * (rng() % ((typo.size() + 1) / 2));
      typo[at] = consonants[(consonants.find(typo[at]) + 1 + rng() % 8) % consonants.size()];
    }
    SCOPED_TRACE(typo);
    Words out;
    ranker.Rank(dictionary.Trie(), typo, 0, out);
    auto frequency = [&](const std::string& w) {
      const auto at = std::find(words.begin(), words.end(), w) - words.begin();
      return static_cast<std::uint32_t>(1 + at % 7);
    };
    const int bound = typo.size() <= 4 ? capped.ShortBound : capped.Bound;
    bool any_within = false;
    for (const std::string& w : out) any_within = any_within || without_cap.ScoreCorrection(typo, w, 1).Cost <= bound;
    const int walked = any_within ? bound : capped.WideBound;
    double previous = 1e300;
    for (const std::string& w : out) {
      const auto exact = without_cap.ScoreCorrection(typo, w, frequency(w));
      const bool reached = exact.Cost <= walked;
      beyond += !reached && exact.Cost > capped.SoundEditCap;
      const double score = reached ? exact.Score : with_cap.ScoreCorrection(typo, w, frequency(w)).Score;
      EXPECT_LE(score, previous + 1e-9) << w;
      previous = score;
    }
  }
  EXPECT_GT(beyond, 100u);  // words whose cap decides their place
}

}  // namespace
}  // namespace wordloom
