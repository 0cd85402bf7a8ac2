// Learning a dictionary from text and from fixed-size blocks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/dictionary.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "wordloom/platform/scripted_services.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using ::testing::ThrowsMessage;
using Dict = std::map<std::string, std::uint32_t>;

using testing_support::WordFrequencies;

void Learn(TVelkWordloom& d, const std::string& text) {
  TMemoryStream stream(text);
  d.AddStreamToSpell(stream);
}

// N different three-letter words, none the beginning of another, blank-separated.
std::string DistinctWords(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    if (i > 0) text += ' ';
    text += testing_support::ThreeLetterWord(i);
  }
  return text;
}

TEST(LearningTest, LearnsWordsWithTheirFrequencies) {
  TVelkWordloom excl(nullptr);
  excl.SetDelimiterOption(wldExclFirstSucc);
  Learn(excl, "the cat and the hat");
  EXPECT_EQ(WordFrequencies(excl), (Dict{{"the", 2}, {"cat", 1}, {"and", 1}, {"hat", 1}}));

  TVelkWordloom incl(nullptr);
  Learn(incl, "the cat and the hat");
  EXPECT_EQ(WordFrequencies(incl), (Dict{{"the ", 2}, {"cat ", 1}, {"and ", 1}, {"hat", 1}}));

  // UTF-8 text: the default set cuts inside the two-byte characters.
  const std::string text = "na\xC3\xAFve caf\xC3\xA9";
  TVelkWordloom bytes(nullptr), utf8(nullptr);
  bytes.SetDelimiterOption(wldExclFirstSucc);
  utf8.SetDelimiterOption(wldExclFirstSucc);
  utf8.SetDelimiters(Utf8Delimiters());
  Learn(bytes, text);
  Learn(utf8, text);
  EXPECT_EQ(WordFrequencies(bytes), (Dict{{"na\xC3", 1}, {"ve", 1}, {"caf\xC3", 1}}));
  EXPECT_EQ(WordFrequencies(utf8), (Dict{{"na\xC3\xAFve", 1}, {"caf\xC3\xA9", 1}}));
}

TEST(LearningTest, OnAddWordSeesEveryWordAndMaySkipIt) {
  TVelkWordloom dict(nullptr);
  dict.SetDelimiterOption(wldExclFirstSucc);
  std::vector<std::string> seen;
  dict.SetOnAddWord([&](const std::string& word, bool& keep) {
    EXPECT_TRUE(keep);
    seen.push_back(word);
    keep = false;
  });
  Learn(dict, "the cat, the hat..");
  EXPECT_EQ(seen, (std::vector<std::string>{"the", "cat", "the", "hat"}))
      << "the empty word at the end raises no event";
  EXPECT_EQ(dict.WordCount(), 0u);
  EXPECT_EQ(dict.NodeCount(), 1u) << "the root was created";
}

TEST(LearningTest, LearnsFromTheStreamPositionOn) {
  TVelkWordloom dict(nullptr);
  dict.SetDelimiterOption(wldExclFirstSucc);
  TMemoryStream stream(std::string("skip these words"));
  stream.SetPosition(11);
  dict.AddStreamToSpell(stream);
  EXPECT_EQ(WordFrequencies(dict), (Dict{{"words", 1}}));

  stream.SetPosition(16);  // at the end: nothing left
  dict.AddStreamToSpell(stream);
  TMemoryStream empty;
  dict.AddStreamToSpell(empty);
  EXPECT_EQ(WordFrequencies(dict), (Dict{{"words", 1}}));

  // An empty pass still cuts the dictionary to its code width.
  TVelkWordloom wide(nullptr);
  wide.SetDelimiterOption(wldExclFirstSucc);
  wide.SetEncodedBlockSize(1);
  Learn(wide, "");
  EXPECT_EQ(wide.NodeCount(), 1u);
  for (int i = 0; i < 300; ++i) wide.AddToSpell(DistinctWords(300).substr(4 * i, 3));
  ASSERT_EQ(wide.WordCount(), 300u);
  Learn(wide, "");
  EXPECT_EQ(wide.WordCount(), 255u);
}

TEST(LearningTest, FixedBlocks) {
  TVelkWordloom dict(nullptr);
  dict.SetTypeOfInput(wliFixedBlockSize);
  dict.SetUnencodedBlockSize(4);
  Learn(dict, "abcdabcd89");
  EXPECT_EQ(WordFrequencies(dict), (Dict{{"abcd", 2}, {"89", 1}}));

  // Blocks are raw bytes: delimiters stay, and cut nothing.
  TVelkWordloom raw(nullptr);
  raw.SetTypeOfInput(wliFixedBlockSize);
  raw.SetUnencodedBlockSize(3);
  Learn(raw, "a, b\n");
  EXPECT_EQ(WordFrequencies(raw), (Dict{{"a, ", 1}, {"b\n", 1}}));

  // Each block holding the token (0) is reported, also a repeat of one seen
  // before; handled, the block is learned with the token as a plain byte.
  TVelkWordloom tokens(nullptr);
  tokens.SetTypeOfInput(wliFixedBlockSize);
  tokens.SetUnencodedBlockSize(2);
  int reports = 0;
  tokens.SetOnException([&](TObject*, ErrorClass ex, const std::string& msg, bool& handled) {
    EXPECT_TRUE(ex == ErrorClass::Of<EConvertError>()) << msg;
    ++reports;
    handled = true;
  });
  Learn(tokens, std::string("a\0a\0a\0bb", 8));
  EXPECT_EQ(reports, 3);
  EXPECT_EQ(WordFrequencies(tokens), (Dict{{std::string("a\0", 2), 3}, {"bb", 1}}));
}

TEST(LearningTest, CutsToTheCodeWidth) {
  const std::string text = DistinctWords(300);
  TVelkWordloom base255(nullptr);  // wldInclFirstSucc: base-255 codes
  base255.SetEncodedBlockSize(1);
  Learn(base255, text);
  EXPECT_EQ(base255.WordCount(), 254u);

  TVelkWordloom plain(nullptr);
  plain.SetDelimiterOption(wldExclFirstSucc);
  plain.SetEncodedBlockSize(1);
  Learn(plain, text);
  EXPECT_EQ(plain.WordCount(), 255u);

  TVelkWordloom variable(nullptr);
  Learn(variable, text);
  EXPECT_EQ(variable.WordCount(), 300u);
}

TEST(LearningTest, ErrorsEndThePass) {
  TVelkWordloom dict(nullptr);
  Learn(dict, "one two");
  dict.SetSpellFileOptions({wlsHardCoded});
  EXPECT_THAT([&] { Learn(dict, "three"); },
              ThrowsMessage<EPropertyError>("Cannot add to a hard coded spell file."));
  EXPECT_EQ(dict.WordCount(), 2u);

  // Handled, the pass goes on and every word is refused on its own.
  std::vector<std::string> reports;
  dict.SetOnException([&](TObject*, ErrorClass, const std::string& msg, bool& handled) {
    reports.push_back(msg);
    handled = true;
  });
  Learn(dict, "three four");
  EXPECT_EQ(dict.WordCount(), 2u);
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0], "Cannot add to a hard coded spell file.");
  EXPECT_EQ(reports[1], "Cannot alter hardcoded spell file.");

  testing_support::TempDir dir;
  const std::string file = dir.File("text.txt");
  TVelkWordloom fresh(nullptr);
  EXPECT_THROW(fresh.AddFileToSpell(file), EFOpenError);

  // From a file.
  testing_support::WriteFile(file, "from a file");
  fresh.SetDelimiterOption(wldExclFirstSucc);
  fresh.AddFileToSpell(file);
  EXPECT_EQ(WordFrequencies(fresh), (Dict{{"from", 1}, {"a", 1}, {"file", 1}}));
}

TEST(LearningTest, ProgressIsShownDuringThePassOnly) {
  TScriptedServices services;
  ScopedApplicationServices scope(services);
  TVelkWordloom dict(nullptr);
  ASSERT_EQ(services.Progress().size(), 1u);
  const auto& progress = *services.Progress()[0];

  Learn(dict, "not shown");
  EXPECT_EQ(progress.Shows, 0);
  EXPECT_EQ(services.ProcessMessagesCalls(), 0);

  dict.SetShowProgress(true);
  Learn(dict, "the cat and the hat");
  EXPECT_EQ(progress.Shows, 1);
  EXPECT_FALSE(progress.Visible);
  EXPECT_EQ(progress.Max, 19);
  EXPECT_EQ(progress.Position, 19);
  EXPECT_GE(services.ProcessMessagesCalls(), 5);

  // A fixed block holding the token (0) ends the pass; the display goes too,
  // and the blocks before stay.
  TVelkWordloom fixed(nullptr);
  ASSERT_EQ(services.Progress().size(), 2u);
  const auto& fixed_progress = *services.Progress()[1];
  fixed.SetShowProgress(true);
  fixed.SetTypeOfInput(wliFixedBlockSize);
  EXPECT_THAT([&] { Learn(fixed, std::string("abcd\0xyz", 8)); },
              ThrowsMessage<EConvertError>("Cannot add a word containing the format char."));
  EXPECT_EQ(fixed_progress.Shows, 1);
  EXPECT_FALSE(fixed_progress.Visible);
  EXPECT_EQ(WordFrequencies(fixed), (Dict{{"abcd", 1}}));
}

}  // namespace
}  // namespace wordloom
