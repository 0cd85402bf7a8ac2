// The import as a whole: the spell file it writes (words, frequencies from a
// counts file, nothing written on failure), telling a Hunspell dictionary
// from a spell file, and agreement with Hunspell's own spell() on samples of
// the installed dictionaries (skipped where libhunspell-dev or the
// hunspell-* packages are missing).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unordered_set>

#include "support/files.h"
#include "support/temp_dir.h"
#include "wordloom/import/hunspell_import.h"
#include "wordloom/wordloom.h"

#ifdef WORDLOOM_TEST_HUNSPELL
#include "support/hunspell_agreement.h"
#endif

namespace wordloom {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using testing_support::TempDir;
using testing_support::WriteFile;

const char kAff[] = "SET UTF-8\nSFX S Y 1\nSFX S 0 s .\n";
const char kDic[] = "2\nword/S\nk\xC3\xA4se\n";

// Options that read their frequencies from Counts, with the fixture
// dictionary x.aff/x.dic written to Dir.
HunspellImportOptions FixtureWithCounts(const TempDir& Dir, const std::string& Counts) {
  WriteFile(Dir.File("x.aff"), kAff);
  WriteFile(Dir.File("x.dic"), kDic);
  WriteFile(Dir.File("counts.tsv"), Counts);
  HunspellImportOptions options;
  options.CountsFile = Dir.File("counts.tsv");
  return options;
}

TEST(HunspellImportTest, WritesEveryFormWithFrequenciesFromCounts) {
  TempDir dir;
  // Counts of words the dictionary does not have are left out.
  HunspellImportOptions options =
      FixtureWithCounts(dir, "words\t40\nk\xC3\xA4se\t2\nother\t1000\n");
  std::size_t last_done = 0;
  options.OnProgress = [&](std::size_t done, std::size_t total) {
    EXPECT_LE(done, total);
    last_done = done;
  };
  const HunspellImportReport report =
      ImportHunspellDictionary(dir.File("x.aff"), dir.File("x.dic"), dir.File("x.spl"), options);
  EXPECT_EQ(report.Forms, 3u);
  EXPECT_EQ(report.Entries, 2u);
  EXPECT_GT(last_done, 0u);

  TVelkWordloom dict(nullptr);
  dict.OpenSpellFile(dir.File("x.spl"));
  EXPECT_EQ(dict.WordCount(), 3u);
  EXPECT_EQ(dict.Frequency("word"), 1u);
  EXPECT_EQ(dict.Frequency("words"), 41u);
  EXPECT_EQ(dict.Frequency("k\xC3\xA4se"), 3u);
  EXPECT_EQ(dict.Frequency("other"), 0u);
  // UTF-8 words stay whole when the dictionary learns or checks text.
  EXPECT_FALSE(dict.Delimiters().Contains(std::uint8_t{0xC3}));
}

TEST(HunspellImportTest, CountsScaleToTheSpellFilesFrequencies) {
  TempDir dir;
  // Three words: frequencies are one byte wide, so 254 is the room above 1.
  const HunspellImportOptions options = FixtureWithCounts(dir, "word\t100000\nwords\t50000\n");
  TVelkWordloom dict(nullptr);
  dict.InitFirstSpellNode();
  ImportHunspellInto(dir.File("x.aff"), dir.File("x.dic"), dict, options);
  EXPECT_EQ(dict.Frequency("word"), 1u + 100000 / 394);
  EXPECT_EQ(dict.Frequency("words"), 1u + 50000 / 394);
  EXPECT_EQ(dict.Frequency("k\xC3\xA4se"), 1u);
}

TEST(HunspellImportTest, FailuresLeaveTheTargetAsItWas) {
  TempDir dir;
  WriteFile(dir.File("x.aff"), "SFX S Y 2\nSFX S 0 s .\n");
  WriteFile(dir.File("x.dic"), kDic);
  WriteFile(dir.File("x.spl"), "old");
  EXPECT_THAT([&] { ImportHunspellDictionary(dir.File("x.aff"), dir.File("x.dic"), dir.File("x.spl"), {}); },
              ThrowsMessage<EImportError>(HasSubstr("x.aff:1: affix class S has fewer")));
  WriteFile(dir.File("x.aff"), kAff);
  HunspellImportOptions options;
  options.CountsFile = dir.File("counts.tsv");
  WriteFile(dir.File("counts.tsv"), "word 12\n");
  EXPECT_THAT([&] { ImportHunspellDictionary(dir.File("x.aff"), dir.File("x.dic"), dir.File("x.spl"), options); },
              ThrowsMessage<EImportError>(HasSubstr("counts.tsv:1: expected word<TAB>count")));
  EXPECT_THAT([&] { ImportHunspellDictionary(dir.File("x.aff"), dir.File("none.dic"), dir.File("x.spl"), {}); },
              ThrowsMessage<EImportError>(HasSubstr("none.dic: cannot open for reading")));
  WriteFile(dir.File("empty.dic"), "0\n");
  EXPECT_THAT([&] { ImportHunspellDictionary(dir.File("x.aff"), dir.File("empty.dic"), dir.File("x.spl"), {}); },
              ThrowsMessage<EImportError>(HasSubstr("no words")));
  EXPECT_EQ(testing_support::ReadFile(dir.File("x.spl")), "old");
}

TEST(HunspellImportTest, TellsAHunspellDictionaryFromASpellFile) {
  TempDir dir;
  WriteFile(dir.File("de.aff"), kAff);
  WriteFile(dir.File("de.dic"), "\xEF\xBB\xBF" "12\r\nword\n");
  WriteFile(dir.File("lone.dic"), "12\nword\n");
  WriteFile(dir.File("text.aff"), kAff);
  WriteFile(dir.File("text.dic"), "word\n");
  EXPECT_TRUE(IsHunspellDictionary(dir.File("de.dic")));
  EXPECT_TRUE(IsHunspellDictionary(dir.File("de.aff")));
  EXPECT_FALSE(IsHunspellDictionary(dir.File("lone.dic")));  // no .aff beside it
  EXPECT_FALSE(IsHunspellDictionary(dir.File("text.dic")));  // no word count
  EXPECT_FALSE(IsHunspellDictionary(dir.File("missing.dic")));
  EXPECT_EQ(HunspellCompanion("/a/de_DE.dic"), "/a/de_DE.aff");
  EXPECT_EQ(HunspellCompanion("/a/de_DE.aff"), "/a/de_DE.dic");
}

#ifdef WORDLOOM_TEST_HUNSPELL
// Every form of a sample of the dictionary's entries is a word to Hunspell
// too, and one near miss per form is rejected by both; what Hunspell does
// differently is in a class the comparison names (its case rules, break
// points, compounds), never in "other".
class HunspellAgreementTest : public ::testing::TestWithParam<const char*> {};

TEST_P(HunspellAgreementTest, SampleAgreesWithHunspell) {
  const std::string name = GetParam();
  const std::string aff = "/usr/share/hunspell/" + name + ".aff";
  const std::string dic = "/usr/share/hunspell/" + name + ".dic";
  if (!fs::exists(aff) || !fs::exists(dic)) GTEST_SKIP() << name << " is not installed";
  TempDir dir;
  // About 600 entries spread over the whole .dic, under its own .aff.
  std::ifstream in(dic, std::ios::binary);
  std::string line, sample;
  std::vector<std::string> lines;
  while (std::getline(in, line)) lines.push_back(line);
  const std::size_t step = std::max<std::size_t>(1, lines.size() / 600);
  sample = lines[0] + "\n";
  for (std::size_t i = 1; i < lines.size(); i += step) sample += lines[i] + "\n";
  WriteFile(dir.File("sample.dic"), sample);

  std::unordered_set<std::string> forms;
  ExpandHunspellDictionary(aff, dir.File("sample.dic"), {},
                           [&](std::string_view f) { forms.emplace(f); });
  ASSERT_GT(forms.size(), 500u);
  const hunspell_agreement::Result r =
      hunspell_agreement::Compare(forms, aff, dir.File("sample.dic"), dir.Path().string());
  for (const auto& [cls, n] : r.Classes) {
    std::string examples;
    for (const std::string& e : r.Examples.at(cls)) examples += " " + e;
    EXPECT_EQ(cls.find("other"), std::string::npos) << n << " " << cls << ":" << examples;
  }
  EXPECT_GE(1.0 - static_cast<double>(r.FormsRejected) / r.Forms, 0.999);
  EXPECT_GE(r.Agreement(), 0.99);
}

INSTANTIATE_TEST_SUITE_P(Installed, HunspellAgreementTest,
                         ::testing::Values("en_US", "de_DE", "fr", "es_ES", "ru_RU", "nl"));
#endif

}  // namespace
}  // namespace wordloom
