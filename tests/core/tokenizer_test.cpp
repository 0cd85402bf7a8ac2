// Cutting text into words: delimiter runs, the first succeeding delimiter,
// the format character's token, the default and the UTF-8 delimiter sets.
// (Learning UTF-8 text is in learning_test.cpp.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

struct Block {
  std::string Word, Preceding, Succeeding;
  bool operator==(const Block&) const = default;
};

void PrintTo(const Block& b, std::ostream* os) {
  *os << "{'" << b.Word << "' pre '" << b.Preceding << "' succ '" << b.Succeeding << "'}";
}

// Every block of Text, calling the tokenizer until the input is used up.
std::vector<Block> Tokenize(TVelkWordloom& dict, const std::string& text) {
  std::size_t next = 0;
  dict.SetCharsToRead(static_cast<std::uint32_t>(text.size()));
  dict.SetCharsRead(0);
  std::vector<Block> blocks;
  while (dict.CharsRead() < dict.CharsToRead()) {
    const std::uint32_t before = dict.CharsRead();
    auto word = dict.ExtractTextBlock([&](char& c) { c = text.at(next++); });
    EXPECT_GT(dict.CharsRead(), before);
    EXPECT_EQ(dict.CharsRead(), next) << "one call of the source per character counted";
    blocks.push_back({word->GetString(), dict.PrecedingDelimiters().GetString(),
                      dict.SucceedingDelimiter().GetString()});
  }
  return blocks;
}

// Puts DefDelimiters back as it was.
struct RestoreDefDelimiters {
  TCharSet saved = DefDelimiters;
  ~RestoreDefDelimiters() { DefDelimiters = saved; }
};

constexpr auto Excl = wldExclFirstSucc;
constexpr auto Incl = wldInclFirstSucc;

TEST(TokenizerTest, CutsTextIntoBlocks) {
  struct Case {
    std::string Text;
    TWLDelimiterOptions Option;
    std::vector<Block> Expected;
  };
  const std::vector<Case> cases = {
      {"Hello, world", Incl, {{"Hello,", "", ""}, {"world", " ", ""}}},
      {"Hello, world", Excl, {{"Hello", "", ","}, {"world", " ", ""}}},
      {"  x", Incl, {{"x", "  ", ""}}},
      {"  x", Excl, {{"x", "  ", ""}}},
      // The input ending inside a delimiter run: the last character is a
      // word of its own, or the succeeding delimiter of an empty word.
      {"a..", Excl, {{"a", "", "."}, {"", "", "."}}},
      {"a..", Incl, {{"a.", "", ""}, {".", "", ""}}},
      {"end\r\n", Incl, {{"end\r", "", ""}, {"\n", "", ""}}},
      {"x", Excl, {{"x", "", ""}}},
      {" ", Excl, {{"", "", " "}}},
      {" ", Incl, {{" ", "", ""}}},
      {"don't AT&T", Excl, {{"don't", "", " "}, {"AT&T", "", ""}}},
      {"route66", Excl, {{"route", "", "6"}, {"", "", "6"}}},
      {"route66", Incl, {{"route6", "", ""}, {"6", "", ""}}},
      {"a^b`c_d", Excl, {{"a^b`c", "", "_"}, {"d", "", ""}}},
      // The upper half: 192 and 248 are word characters, 215 and 160 are not.
      {"\xC0\xD7\xF8\xA0z", Excl, {{"\xC0", "", "\xD7"}, {"\xF8", "", "\xA0"}, {"z", "", ""}}},
      {"\t(1) [x]", Incl, {{"x]", "\t(1) [", ""}}},
  };
  for (const Case& c : cases) {
    TVelkWordloom dict(nullptr);
    dict.SetDelimiterOption(c.Option);
    EXPECT_EQ(Tokenize(dict, c.Text), c.Expected)
        << "'" << c.Text << "' " << (c.Option == Excl ? "Excl" : "Incl");
  }
}

TEST(TokenizerTest, TokenIsWrittenAsItsReplacementAndIsNoDelimiter) {
  TVelkWordloom dict(nullptr);
  dict.FormatChar()->SetToken('\\');
  ASSERT_EQ(dict.FormatChar()->GetReplacement(), "Backslash");
  EXPECT_FALSE(dict.GetDelimiters().Contains('\\'));
  EXPECT_FALSE(dict.Delimiters().Contains('\\')) << "the property reads the effective set";
  EXPECT_TRUE(dict.OwnDelimiters().Contains('\\')) << "the own set is left as it is";

  dict.SetDelimiterOption(Excl);
  EXPECT_EQ(Tokenize(dict, "C:\\tmp"),
            (std::vector<Block>{{"C", "", ":"}, {"Backslashtmp", "", ""}}));
  dict.SetDelimiterOption(Incl);
  EXPECT_EQ(Tokenize(dict, "C:\\tmp"), (std::vector<Block>{{"C:", "", ""}, {"Backslashtmp", "", ""}}));

  // A blank as token with no replacement: it vanishes from the words and
  // no longer cuts them.
  dict.FormatChar()->SetToken(' ');
  dict.FormatChar()->SetReplacement("");
  ASSERT_EQ(dict.FormatChar()->GetReplBStr().Size(), 0u);
  dict.SetDelimiterOption(Excl);
  EXPECT_EQ(Tokenize(dict, " a b,c "), (std::vector<Block>{{"ab", "", ","}, {"c", "", ""}}));
}

TEST(TokenizerTest, DelimiterSets) {
  // The initial defaults: 0..37, 40..64, 91..93, 95, 123..153, 155, 157, 158,
  // 160..191, 215, 247.
  TCharSet expected;
  for (int c = 0; c < 256; ++c) {
    const bool delimiter = c <= 37 || (c >= 40 && c <= 64) || (c >= 91 && c <= 93) || c == 95 ||
                           (c >= 123 && c <= 153) || c == 155 || c == 157 || c == 158 ||
                           (c >= 160 && c <= 191) || c == 215 || c == 247;
    if (delimiter) expected.Include(static_cast<std::uint8_t>(c));
  }
  EXPECT_TRUE(InitialDefDelimiters() == expected);
  TVelkWordloom dict(nullptr);
  EXPECT_TRUE(dict.OwnDelimiters() == expected);
  // Token 0 is left out of the effective set.
  for (int c = 0; c < 256; ++c) {
    const auto b = static_cast<std::uint8_t>(c);
    EXPECT_EQ(dict.GetDelimiters().Contains(b), c != 0 && expected.Contains(b)) << c;
    EXPECT_EQ(Utf8Delimiters().Contains(b), c < 128 && expected.Contains(b)) << c;
  }
}

TEST(TokenizerTest, EmptyOwnSetFollowsDefDelimitersAtEachCall) {
  RestoreDefDelimiters restore;
  TVelkWordloom own(nullptr);
  TVelkWordloom dict(nullptr);
  dict.SetDelimiters(TCharSet());
  own.SetDelimiterOption(Excl);
  dict.SetDelimiterOption(Excl);
  const std::string text = "a-b-c";
  std::size_t next = 0;
  dict.SetCharsToRead(static_cast<std::uint32_t>(text.size()));
  dict.SetCharsRead(0);
  const TReadCharMethod read = [&](char& c) { c = text.at(next++); };
  EXPECT_EQ(dict.ExtractTextBlock(read)->GetString(), "a");
  EXPECT_EQ(dict.SucceedingDelimiter().GetString(), "-");
  DefDelimiters.Exclude('-');
  EXPECT_EQ(dict.ExtractTextBlock(read)->GetString(), "b-c");
  EXPECT_EQ(dict.SucceedingDelimiter().Size(), 0u);
  // A component with its own set does not see the change.
  EXPECT_EQ(Tokenize(own, text).size(), 3u);
}

TEST(TokenizerTest, ReadsStreamsThroughTheBuffer) {
  TVelkWordloom dict(nullptr);
  dict.SetStreamBufferSize(3);  // refills at every third character
  TMemoryStream stream(std::string("abcdefgh"));
  dict.BeginStreamOn(stream);
  std::string read;
  for (int i = 0; i < 8; ++i) {
    char c = 0;
    dict.ReadCharFromStream(c);
    read += c;
  }
  EXPECT_EQ(read, "abcdefgh");

  // The stream reader as the tokenizer's source.
  TMemoryStream text(std::string("one, two three"));
  dict.SetDelimiterOption(Excl);
  dict.BeginStreamOn(text);
  dict.SetCharsToRead(14);
  dict.SetCharsRead(0);
  std::vector<std::string> words;
  while (dict.CharsRead() < dict.CharsToRead()) {
    words.push_back(
        dict.ExtractTextBlock([&](char& c) { dict.ReadCharFromStream(c); })->GetString());
  }
  EXPECT_EQ(words, (std::vector<std::string>{"one", "two", "three"}));
}

}  // namespace
}  // namespace wordloom
