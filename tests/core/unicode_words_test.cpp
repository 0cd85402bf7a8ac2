// Finding the words of UTF-8 prose: what parts words, what joins them, what
// is not prose, where each word stands and the form it is looked up in.
#include "wordloom/text/unicode_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wordloom {
namespace {

// The words of Text as they stand in it, each "slice=lookup" when the
// lookup form differs from the slice.
std::vector<std::string> Found(std::string_view text) {
  std::vector<std::string> found;
  for (const UnicodeWord& w : FindUnicodeWords(text)) {
    EXPECT_LE(w.Offset + w.Length, text.size());
    std::string shown(text.substr(w.Offset, w.Length));
    if (shown != w.Lookup) shown += "=" + w.Lookup;
    found.push_back(shown);
  }
  return found;
}

// A line and the words found in it (as Found shows them).
struct LineCase {
  const char* Name;
  std::string Text;
  std::vector<std::string> Words;
};

template <std::size_t N>
void ExpectWords(const LineCase (&cases)[N]) {
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Found(c.Text), c.Words);
  }
}

TEST(UnicodeWordsTest, TrickyLines) {
  const LineCase kCases[] = {
      {"em dash", "book\xE2\x80\x94then", {"book", "then"}},
      {"en dash in a range",
       "pages 3\xE2\x80\x93"
       "5 and A\xE2\x80\x93Z",
       {"pages", "and", "A", "Z"}},
      {"curly double quotes", "\xE2\x80\x9Cquoted\xE2\x80\x9D end", {"quoted", "end"}},
      {"straight quotes around", "'tis \"so\" 'quoted'", {"tis", "so", "quoted"}},
      {"ellipsis", "end\xE2\x80\xA6 and", {"end", "and"}},
      {"currency",
       "costs 5\xE2\x82\xAC or \xC2\xA3"
       "3 or \xE2\x82\xAC"
       "5",
       {"costs", "or", "or"}},
      {"no-break and thin spaces", "one\xC2\xA0two\xE2\x80\x89three", {"one", "two", "three"}},
      {"emoji", "fine\xF0\x9F\x98\x80good \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", {"fine", "good"}},
      {"byte-order mark", "\xEF\xBB\xBFStart here", {"Start", "here"}},
      {"soft hyphen and word joiner inside, zero-width space between",
       "hy\xC2\xAD" "phen\xE2\x81\xA0" "ation zero\xE2\x80\x8Bwidth",
       {"hy\xC2\xAD" "phen\xE2\x81\xA0" "ation=hyphenation", "zero", "width"}},
      {"elision with a typographic apostrophe",
       "\xE2\x80\x99tis the \xE2\x80\x99" "em, o\xE2\x80\x99 \xE2\x80\x99quoted\xE2\x80\x99",
       {"\xE2\x80\x99tis='tis", "the", "\xE2\x80\x99" "em='em", "o",
        "\xE2\x80\x99quoted='quoted"}},
      {"names joined by dots or underscores",
       "see README.md, node.js, e.g. snake_case _private and end. Next",
       {"see", "and", "end", "Next"}},
      {"straight apostrophe", "it's John's", {"it's", "John's"}},
      {"typographic apostrophe",
       "It\xE2\x80\x99s don\xE2\x80\x99t",
       {"It\xE2\x80\x99s=It's", "don\xE2\x80\x99t=don't"}},
      {"apostrophe at the ends", "James' 'twas", {"James", "twas"}},
      {"hyphenated",
       "well-known state\xE2\x80\x90of-the-art",
       {"well-known", "state\xE2\x80\x90of-the-art=state-of-the-art"}},
      {"hyphens that join nothing", "pre- -post a--b", {"pre", "post", "a", "b"}},
      {"decomposed accent",
       "cafe\xCC\x81 na\xC3\xAFve",
       {"cafe\xCC\x81=caf\xC3\xA9", "na\xC3\xAFve"}},
      {"letters of other scripts",
       "\xD0\xBC\xD0\xB8\xD1\x80, \xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82",
       {"\xD0\xBC\xD0\xB8\xD1\x80", "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82"}},
      {"urls",
       "See https://example.com/a-b?c=d, www.example.org. and ftp://x.y too",
       {"See", "and", "too"}},
      {"url glued after a word", "(see:https://example.com)", {"see"}},
      {"e-mail", "mail me@example.org or <first.last+tag@mail.example.co.uk>.", {"mail", "or"}},
      {"an at sign that is no address", "meet @noon or a@b", {"meet", "noon", "or", "a", "b"}},
      {"numbers and ordinals",
       "on the 1st, 22nd and 3rd: 10km, 3.5 kg, 1,000",
       {"on", "the", "and", "kg"}},
      {"digits inside a word", "mp3 B2B x86-64 covid19 word", {"word"}},
      {"superscripts and fractions are digits",
       "x\xC2\xB2 \xC2\xBD"
       "cup cup",
       {"cup"}},
      {"control characters and tabs",
       "a\tb\x01"
       "c\r\nd",
       {"a", "b", "c", "d"}},
      {"empty and punctuation only", "", {}},
  };
  ExpectWords(kCases);
}

TEST(UnicodeWordsTest, InvalidUtf8PartsWordsAndNeverFails) {
  const LineCase kCases[] = {
      {"latin-1 byte", "caf\xE9 bar", {"caf", "bar"}},
      {"lone continuation bytes",
       "ab\x80\x80"
       "cd",
       {"ab", "cd"}},
      {"truncated sequence at the end", "word\xE2\x80", {"word"}},
      {"overlong encoding",
       "a\xC0\xAF"
       "b",
       {"a", "b"}},
      {"surrogate half", "x\xED\xA0\x80y", {"x", "y"}},
      {"nul byte", std::string("one\0two", 7), {"one", "two"}},
  };
  ExpectWords(kCases);
}

TEST(UnicodeWordsTest, OffsetsAndLengthsAreBytes) {
  const std::string text =
      "\xE2\x80\x9C"
      "Caf\xC3\xA9\xE2\x80\x9D it\xE2\x80\x99s";
  const std::vector<UnicodeWord> words = FindUnicodeWords(text);
  ASSERT_EQ(words.size(), 2U);
  EXPECT_EQ(words[0].Offset, 3U);
  EXPECT_EQ(words[0].Length, 5U);
  EXPECT_EQ(words[1].Offset, 12U);
  EXPECT_EQ(words[1].Length, 6U);
  EXPECT_EQ(words[1].Lookup, "it's");
}

TEST(UnicodeWordsTest, CharacterCountCountsBadBytesOneEach) {
  const struct {
    std::string Text;
    std::size_t Count;
  } kCases[] = {
      {"", 0},
      {"abc", 3},
      {"caf\xC3\xA9", 4},
      {"\xF0\x9F\x98\x80!", 2},
      {"a\x80\x80"
       "b",
       4},
      {"\xE2\x80", 2},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(CharacterCount(c.Text), c.Count);
  }
}

}  // namespace
}  // namespace wordloom
