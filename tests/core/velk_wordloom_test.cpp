#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <wordloom/platform/form_file.h>
#include <wordloom/wordloom.h>

namespace wordloom {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// Reads a stored form back as a new dictionary.
std::unique_ptr<TVelkWordloom> ReadBack(const std::string& text) {
  Register();
  return ReadComponentAs<TVelkWordloom>(text);
}

// Puts DefDelimiters back however the test ends.
struct DefDelimitersGuard {
  TCharSet saved = DefDelimiters;
  ~DefDelimitersGuard() { DefDelimiters = saved; }
};

TEST(VelkWordloomTest, NewComponentDefaults) {
  TVelkWordloom dict(nullptr);
  EXPECT_EQ(dict.NodeCount(), 0u);
  EXPECT_EQ(dict.WordCount(), 0u);
  EXPECT_EQ(dict.WordCapacity(), 0u);
  EXPECT_EQ(dict.EncodedBlockSize(), 0);
  EXPECT_TRUE(dict.FormatCharOptions() == (TWLFormatCharOptions{wlcAlwaysPrefix, wlcCondSuffix}));
  EXPECT_TRUE(dict.SpellFileOptions() ==
              (TWLSpellFileOptions{wlsPromptOnReplace, wlsPromptOnModified}));
  EXPECT_EQ(dict.DelimiterOption(), wldInclFirstSucc);
  EXPECT_EQ(dict.TypeOfInput(), wliTextInput);
  EXPECT_EQ(dict.UnencodedBlockSize(), 4u);
  EXPECT_EQ(dict.StreamBufferSize(), 16384u);
  EXPECT_FALSE(dict.ShowProgress());
  EXPECT_EQ(dict.FormatChar()->Token(), 0);
  EXPECT_TRUE(dict.OwnDelimiters() == DefDelimiters);
}

TEST(VelkWordloomTest, DefaultDelimitersAreTheListedRanges) {
  const TCharSet d = InitialDefDelimiters();
  EXPECT_EQ(d.Count(), 135u);
  std::vector<int> in;
  for (int v = 0; v < 256; ++v) {
    if (d.Contains(static_cast<std::uint8_t>(v))) in.push_back(v);
  }
  // Collapse the members into [first, last] runs.
  std::vector<std::pair<int, int>> runs;
  for (int v : in) {
    if (!runs.empty() && runs.back().second == v - 1) {
      runs.back().second = v;
    } else {
      runs.emplace_back(v, v);
    }
  }
  using R = std::pair<int, int>;
  EXPECT_THAT(runs, ElementsAre(R(0, 37), R(40, 64), R(91, 93), R(95, 95), R(123, 153),
                                R(155, 155), R(157, 158), R(160, 191), R(215, 215),
                                R(247, 247)));
  EXPECT_TRUE(DefDelimiters == d);
}

TEST(VelkWordloomTest, DerivedAndIgnoredSettings) {
  TVelkWordloom dict(nullptr);
  dict.SetEncodedBlockSize(2);
  EXPECT_TRUE(dict.FormatCharOptions() == TWLFormatCharOptions{wlcCondSuffix});
  dict.SetDelimiterOption(wldExclFirstSucc);
  EXPECT_TRUE(dict.FormatCharOptions() == TWLFormatCharOptions{wlcAlwaysPrefix});
  dict.SetFormatCharOptions({wlcCondSuffix});
  EXPECT_TRUE(dict.FormatCharOptions() == TWLFormatCharOptions{wlcAlwaysPrefix});
  dict.SetEncodedBlockSize(0);
  EXPECT_TRUE(dict.FormatCharOptions() == (TWLFormatCharOptions{wlcAlwaysPrefix, wlcCondSuffix}));

  // A zero UnencodedBlockSize is ignored as well.
  dict.SetUnencodedBlockSize(9);
  dict.SetUnencodedBlockSize(0);
  EXPECT_EQ(dict.UnencodedBlockSize(), 9u);
}

TEST(VelkWordloomTest, DelimitersAreCopiedFromDefDelimitersAtCreation) {
  DefDelimitersGuard guard;
  TVelkWordloom before(nullptr);
  DefDelimiters.Include('A').Exclude(' ');
  const TCharSet changed = DefDelimiters;
  TVelkWordloom after(nullptr);
  EXPECT_TRUE(after.OwnDelimiters() == changed);
  EXPECT_TRUE(before.OwnDelimiters() == guard.saved);
  EXPECT_FALSE(before.OwnDelimiters().Contains('A'));
  EXPECT_TRUE(before.OwnDelimiters().Contains(' '));
}

TEST(VelkWordloomTest, SetFormatCharCopiesIntoOwnObject) {
  TVelkWordloom dict(nullptr);
  TFormatChar* own = dict.FormatChar();
  TFormatChar given;
  given.SetToken(36);
  given.SetReplacement("D");
  given.SetNoReplacement(true);
  dict.SetFormatChar(&given);
  EXPECT_EQ(dict.FormatChar(), own);
  EXPECT_EQ(own->Token(), 36);
  EXPECT_FALSE(own->NoReplacement());
  EXPECT_EQ(own->Replacement(), "D");
  EXPECT_EQ(own->GetReplBStr().GetString(), "D");
  given.SetReplacement("E");
  EXPECT_EQ(own->Replacement(), "D");
}

TEST(VelkWordloomTest, StoredFormListsPublishedPropertiesInOrder) {
  TVelkWordloom dict(nullptr);
  dict.InitFirstSpellNode();
  dict.AddToSpell("x");
  ASSERT_EQ(dict.WordCount(), 1u);
  const std::string text = WriteComponentToString(dict);
  const char* names[] = {"DelimiterOption", "EncodedBlockSize", "FormatChar",
                         "FormatCharOptions", "ShowProgress", "SpellFileOptions",
                         "TypeOfInput", "UnencodedBlockSize", "StreamBufferSize"};
  std::size_t last = 0;
  for (const char* name : names) {
    const std::size_t at = text.find("\n  " + std::string(name) + " ");
    ASSERT_NE(at, std::string::npos) << name << " missing in\n" << text;
    EXPECT_GT(at, last) << name << " out of order in\n" << text;
    last = at;
  }
  EXPECT_THAT(text, HasSubstr("StreamBufferSize = 16384"));
  EXPECT_THAT(text, HasSubstr("FormatCharOptions = [wlcAlwaysPrefix, wlcCondSuffix]"));
  EXPECT_THAT(text, Not(HasSubstr("WordCount")));
  EXPECT_THAT(text, Not(HasSubstr("WordCapacity")));
}

TEST(VelkWordloomTest, StreamBufferSizeOf100IsNotStored) {
  TVelkWordloom dict(nullptr);
  dict.SetStreamBufferSize(100);
  const std::string text = WriteComponentToString(dict);
  EXPECT_THAT(text, Not(HasSubstr("StreamBufferSize")));
  auto read = ReadBack(text);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->StreamBufferSize(), 16384u);
}

TEST(VelkWordloomTest, RoundTripRestoresSettings) {
  TVelkWordloom dict(nullptr);
  dict.SetDelimiterOption(wldExclFirstSucc);
  dict.SetEncodedBlockSize(3);
  dict.FormatChar()->SetToken(47);
  dict.FormatChar()->SetReplacement("SL");
  dict.SetShowProgress(true);
  dict.SetSpellFileOptions({wlsHardCoded, wlsPromptOnModified});
  dict.SetTypeOfInput(wliFixedBlockSize);
  dict.SetUnencodedBlockSize(7);
  dict.SetStreamBufferSize(512);

  auto read = ReadBack(WriteComponentToString(dict));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->DelimiterOption(), wldExclFirstSucc);
  EXPECT_EQ(read->EncodedBlockSize(), 3);
  EXPECT_TRUE(read->FormatCharOptions() == TWLFormatCharOptions{wlcAlwaysPrefix});
  EXPECT_EQ(read->FormatChar()->Token(), 47);
  EXPECT_EQ(read->FormatChar()->Replacement(), "SL");
  EXPECT_EQ(read->FormatChar()->GetReplBStr().GetString(), "SL");
  EXPECT_TRUE(read->ShowProgress());
  EXPECT_TRUE(read->SpellFileOptions() == (TWLSpellFileOptions{wlsHardCoded, wlsPromptOnModified}));
  EXPECT_EQ(read->TypeOfInput(), wliFixedBlockSize);
  EXPECT_EQ(read->UnencodedBlockSize(), 7u);
  EXPECT_EQ(read->StreamBufferSize(), 512u);
}

TEST(VelkWordloomTest, RegisterPutsClassOnVelkPage) {
  Register();
  EXPECT_THAT(PaletteClasses("Velk"), testing::Contains("TVelkWordloom"));
  EXPECT_EQ(PaletteOf("TVelkWordloom"), "Velk");
}

}  // namespace
}  // namespace wordloom
