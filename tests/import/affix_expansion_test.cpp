// Affix expansion on small .aff/.dic fixtures, one rule each: conditions,
// strip, cross products, two suffix levels, aliases, each flag type, a
// Latin-1 SET, the special flags and output conversion; then hostile input:
// counts that lie, corrupt tables and rule sets that would explode.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "wordloom/import/hunspell_import.h"

namespace wordloom {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

std::set<std::string> Forms(const std::string& aff, const std::string& dic,
                            const HunspellImportOptions& options = {}) {
  std::set<std::string> out;
  ExpandHunspellBytes(aff, dic, options, [&](std::string_view f) { out.emplace(f); });
  return out;
}

struct Case {
  const char* Name;
  const char* Aff;
  const char* Dic;
  std::set<std::string> Expected;
};

const Case kCases[] = {
    {"suffix conditions and strip",
     "SET UTF-8\n"
     "SFX D Y 4\n"
     "SFX D 0 d e\n"
     "SFX D y ied [^aey]y\n"
     "SFX D 0 ed [^ey]\n"
     "SFX D 0 ed [ae]y\n",
     "4\ncreate/D\ntry/D\nplay/D\nfix/D\n",
     {"create", "created", "try", "tried", "play", "played", "fix", "fixed"}},
    {"prefix condition and strip; a stem is never stripped whole",
     "PFX A N 2\n"
     "PFX A 0 re [^r]\n"
     "PFX A x ex x\n"
     "SFX B N 1\n"
     "SFX B ab 0 ab\n",
     "3\ndo/A\nread/A\nab/B\n",
     {"do", "redo", "read", "ab"}},
    {"full strip allows it",
     "FULLSTRIP\nSFX B N 1\nSFX B ab xy ab\n", "1\nab/B\n", {"ab", "xy"}},
    {"cross products only where both sides allow them",
     "PFX U Y 1\nPFX U 0 un .\n"
     "PFX N N 1\nPFX N 0 non .\n"
     "SFX S Y 1\nSFX S 0 s .\n"
     "SFX T N 1\nSFX T 0 th .\n",
     "1\ndo/UNST\n",
     {"do", "undo", "nondo", "dos", "doth", "undos"}},
    {"two suffix levels through continuation classes",
     "SFX A Y 1\nSFX A 0 er/B .\n"
     "SFX B Y 1\nSFX B 0 s .\n"
     "PFX P Y 1\nPFX P 0 re .\n",
     "1\nwork/AP\n",
     {"work", "worker", "workers", "rework", "reworker", "reworkers"}},
    {"a prefix allowed by a suffix's continuation",
     "SFX A Y 1\nSFX A 0 ing/P .\nPFX P Y 1\nPFX P 0 un .\n",
     "1\nwind/A\n", {"wind", "winding", "unwinding"}},
    {"aliases of flag sets",
     "AF 2\nAF AB\nAF B\nSFX A N 1\nSFX A 0 s .\nSFX B N 1\nSFX B 0 ed/1 .\n",
     "2\nwalk/1\njump/2\n",
     {"walk", "walks", "walked", "walkeds", "walkeded", "jump", "jumped", "jumpeds", "jumpeded"}},
    {"long flags",
     "FLAG long\nSFX Aa N 1\nSFX Aa 0 s .\nSFX Ab N 1\nSFX Ab 0 x .\n",
     "1\ncat/Aa\n", {"cat", "cats"}},
    {"number flags",
     "FLAG num\nSFX 101 N 1\nSFX 101 0 s .\nSFX 7 N 1\nSFX 7 0 ly .\nSFX 10 N 1\nSFX 10 0 x .\n",
     "1\nquick/101,7\n", {"quick", "quicks", "quickly"}},
    {"UTF-8 flags",
     "SET UTF-8\nFLAG UTF-8\nSFX \xC3\xA4 N 1\nSFX \xC3\xA4 0 n .\nSFX \xC3 N 1\nSFX \xC3 0 x .\n",
     "1\nKatze/\xC3\xA4\n", {"Katze", "Katzen"}},
    {"a Latin-1 SET: words, affixes and a flag byte above 127",
     "SET ISO8859-1\nSFX \xE9 N 1\nSFX \xE9 0 \xE9 [^\xE9]\n",
     "2\ncaf\xE9/\xE9\nth/\xE9\n", {"caf\xC3\xA9", "th", "th\xC3\xA9"}},
    {"KOI8-R",
     "SET KOI8-R\nSFX A N 1\nSFX A 0 \xC1 .\n", "1\n\xCB\xCF\xD4/A\n",
     {"\xD0\xBA\xD0\xBE\xD1\x82", "\xD0\xBA\xD0\xBE\xD1\x82\xD0\xB0"}},
    {"circumfix: both halves or neither",
     "CIRCUMFIX X\n"
     "PFX A Y 1\nPFX A 0 leg/X .\n"
     "PFX B Y 1\nPFX B 0 legesleg/X .\n"
     "SFX C Y 3\nSFX C 0 obb .\nSFX C 0 obb/AX .\nSFX C 0 obb/BX .\n",
     "1\nnagy/C\n",
     {"nagy", "nagyobb", "legnagyobb", "legeslegnagyobb"}},
    {"needaffix on a stem and on an affix",
     "NEEDAFFIX N\n"
     "SFX S Y 1\nSFX S 0 s .\n"
     "SFX O Y 1\nSFX O 0 o/NS .\n",
     "2\nfoo/NS\nbar/O\n",
     {"foos", "bar", "baros"}},
    {"forbidden words leave the list whatever makes them",
     "FORBIDDENWORD !\nSFX S Y 1\nSFX S 0 s .\n",
     "3\ncat/S\ncats/!\ndog/S\n",
     {"cat", "dog", "dogs"}},
    {"only in compounds: the word and the affix",
     "ONLYINCOMPOUND c\nCOMPOUNDFLAG X\nSFX S Y 2\nSFX S 0 s .\nSFX S 0 e/c .\n",
     "2\nfoo/S\nbar/cS\n",
     {"foo", "foos"}},
    {"output conversion and ignored characters",
     "SET UTF-8\nIGNORE -\nOCONV 1\nOCONV ij \xC4\xB3\n"
     "SFX S Y 1\nSFX S 0 -s .\n",
     "2\nmi-jn/S\nkijk\n",
     {"m\xC4\xB3n", "m\xC4\xB3ns", "k\xC4\xB3k"}},
    {"the typographic apostrophe as the checker looks it up",
     "SET UTF-8\n", "1\nl\xE2\x80\x99homme\n", {"l'homme"}},
    {"morphology, escaped slashes and phrases",
     "SFX S Y 1\nSFX S 0 s .\n",
     "4\ncat/S po:noun\nand\\/or\nNew York\ndog\tst:dog\n",
     {"cat", "cats", "and/or", "dog"}},
};

TEST(AffixExpansionTest, FormsOfEachRule) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.Name);
    const std::set<std::string> forms = Forms(c.Aff, c.Dic);
    EXPECT_THAT(forms, ElementsAreArray(c.Expected));
  }
}

TEST(AffixExpansionTest, ReportCountsWhatWasReadAndPassedOver) {
  HunspellImportReport r = ExpandHunspellBytes(
      "SET UTF-8\nFORBIDDENWORD !\nCOMPOUNDFLAG X\n", "4\ngood\nbad\xFF\nno/!\nNew York\n", {},
      [](std::string_view) {});
  EXPECT_EQ(r.Entries, 4u);
  EXPECT_EQ(r.SkippedLines, 2u);  // not UTF-8, a phrase
  EXPECT_EQ(r.Forbidden, 1u);
  EXPECT_TRUE(r.Compounding);
  ASSERT_EQ(r.Warnings.size(), 1u);
  EXPECT_THAT(r.Warnings[0], HasSubstr("dic:3: not UTF-8 text"));
}

TEST(AffixExpansionTest, BadFlagsAreWarnedAboutAndPassedOver) {
  HunspellImportReport r;
  std::set<std::string> forms;
  r = ExpandHunspellBytes("AF 1\nAF S\nSFX S N 1\nSFX S 0 s .\n", "2\ncat/1\ndog/9\n", {},
                          [&](std::string_view f) { forms.emplace(f); });
  EXPECT_THAT(forms, ElementsAreArray({"cat", "cats", "dog"}));
  ASSERT_EQ(r.WarningCount, 1u);
  EXPECT_THAT(r.Warnings[0], HasSubstr("dic:3: bad flag alias 9"));
}

TEST(AffixExpansionTest, HostileInputIsAClearError) {
  const struct {
    const char* Name;
    const char* Aff;
    const char* Dic;
    const char* Message;
  } kBad[] = {
      {"an affix class shorter than its count", "SFX A Y 1000000\nSFX A 0 s .\n", "1\na/A\n",
       "aff:1: affix class A has fewer than the 1000000 entries it announces"},
      {"an affix line of another class", "SFX A Y 2\nSFX A 0 s .\nSFX B 0 s .\n", "1\na\n",
       "affix class A has fewer than the 2 entries"},
      {"an alias table too short", "AF 3\nAF A\n", "1\na\n",
       "aff:1: AF table has fewer than the 3 entries it announces"},
      {"a count that is no number", "SFX A Y many\n", "1\na\n", "the number of entries is missing"},
      {"an unknown encoding", "SET NO-SUCH-CODE\n", "1\na\n", "unknown encoding SET NO-SUCH-CODE"},
      {"no word count", "", "cat\n", "dic:1: the first line must be the number of words"},
  };
  for (const auto& c : kBad) {
    SCOPED_TRACE(c.Name);
    EXPECT_THAT([&] { Forms(c.Aff, c.Dic); }, ThrowsMessage<EImportError>(HasSubstr(c.Message)));
  }
  // The word count itself is never trusted: a huge one allocates nothing.
  EXPECT_THAT(Forms("", "99999999999999999999\ncat\n"), ElementsAreArray({"cat"}));
}

TEST(AffixExpansionTest, ExpansionIsBounded) {
  // Ten suffixes, each allowing the ten again: 10 + 100 forms a word.
  std::string aff = "SFX A Y 10\n";
  for (int i = 0; i < 10; ++i) aff += "SFX A 0 " + std::string(1, static_cast<char>('a' + i)) + "/A .\n";
  HunspellImportOptions options;
  EXPECT_EQ(Forms(aff, "1\nx/A\n", options).size(), 111u);
  options.MaxForms = 50;
  EXPECT_THAT([&] { Forms(aff, "1\nx/A\n", options); },
              ThrowsMessage<EImportError>(HasSubstr("make more than 50 forms")));
  options = {};
  options.MaxSteps = 50;
  EXPECT_THAT([&] { Forms(aff, "1\nx/A\n", options); },
              ThrowsMessage<EImportError>(HasSubstr("more than 50 steps")));
  // An output conversion too long to apply to every form.
  std::string conversions = "OCONV 5000\n";
  for (int i = 0; i < 5000; ++i) conversions += "OCONV a" + std::to_string(i) + " b\n";
  EXPECT_THAT([&] { Forms(conversions, "1\nx\n"); },
              ThrowsMessage<EImportError>(HasSubstr("aff:4098: OCONV table of more than 4096 entries")));
}

}  // namespace
}  // namespace wordloom
