// Reducing a dictionary keeps its most frequent words.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/trie_invariants.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;
using testing_support::TrieInvariantsHold;

class ReductionTest : public ::testing::Test {
 protected:
  ReductionTest() { dict.InitFirstSpellNode(); }
  void Add(const std::string& word, int times) {
    for (int i = 0; i < times; ++i) dict.AddToSpell(word);
  }
  // The words in word-number order.
  std::vector<std::string> Words() {
    std::vector<std::string> out;
    for (std::uint32_t w = 1; w <= dict.WordCount(); ++w) {
      out.push_back(
          dict.ExtractSpellWord(static_cast<std::uint32_t>(dict.WordTableEntry(w - 1).Node)));
    }
    return out;
  }
  TVelkWordloom dict{nullptr};
};

TEST_F(ReductionTest, KeepsTheMostFrequentAndNumbersThemFirst) {
  Add("a", 5);
  Add("b", 1);
  Add("c", 3);
  std::uint32_t count = 1;
  dict.ReduceSpell(count);
  EXPECT_EQ(count, 1u);
  EXPECT_THAT(Words(), ElementsAre("a"));
  EXPECT_EQ(dict.Frequency("a"), 5u);
  EXPECT_EQ(dict.WordCapacity(), 1u);
  EXPECT_TRUE(TrieInvariantsHold(dict));

  TVelkWordloom other(nullptr);
  other.InitFirstSpellNode();
  for (auto [w, n] : {std::pair{"x", 1}, {"y", 2}, {"z", 3}}) {
    for (int i = 0; i < n; ++i) other.AddToSpell(w);
  }
  other.SetWordCount(2);
  EXPECT_EQ(other.WordCount(), 2u);
  EXPECT_EQ(other.Frequency("x"), 0u);
  EXPECT_EQ(other.SpellNode(static_cast<std::uint32_t>(other.WordTableEntry(0).Node)).Letter, 'z');
  EXPECT_EQ(other.SpellNode(static_cast<std::uint32_t>(other.WordTableEntry(1).Node)).Letter, 'y');
  EXPECT_TRUE(TrieInvariantsHold(other));
}

TEST_F(ReductionTest, TiesKeepWordNumberOrder) {
  Add("p", 2);
  Add("q", 2);
  Add("r", 2);
  Add("s", 1);
  dict.SetWordCount(2);
  EXPECT_THAT(Words(), ElementsAre("p", "q"));
}

TEST_F(ReductionTest, PrefixesOfSurvivorsStay) {
  Add("ab", 9);
  Add("abc", 1);
  std::uint32_t count = 1;
  dict.ReduceSpell(count);
  EXPECT_EQ(count, 1u) << "abc is removed; ab stays alone";
  EXPECT_THAT(Words(), ElementsAre("ab"));

  TVelkWordloom d(nullptr);
  d.InitFirstSpellNode();
  d.AddToSpell("ab");
  for (int i = 0; i < 9; ++i) d.AddToSpell("abc");
  count = 1;
  d.ReduceSpell(count);
  EXPECT_EQ(count, 2u) << "ab begins abc, which stays: both stay";
  EXPECT_TRUE(TrieInvariantsHold(d));

  // A prefix whose longer word goes first can go too.
  TVelkWordloom e(nullptr);
  e.InitFirstSpellNode();
  for (int i = 0; i < 5; ++i) e.AddToSpell("top");
  for (int i = 0; i < 2; ++i) e.AddToSpell("abc");
  e.AddToSpell("abcde");
  count = 1;
  e.ReduceSpell(count);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(e.GetNodeCount(), 4u) << "root and t-o-p";
  EXPECT_TRUE(TrieInvariantsHold(e));
}

TEST_F(ReductionTest, OnDeleteWordMayKeepWords) {
  Add("one", 3);
  Add("two", 2);
  Add("three", 1);
  std::vector<std::string> asked;
  dict.SetOnDeleteWord([&](const std::string& word, bool& keep) {
    EXPECT_FALSE(keep) << "Keep arrives preset to false";
    asked.push_back(word);
    keep = word == "two";
  });
  std::uint32_t count = 1;
  dict.ReduceSpell(count);
  EXPECT_THAT(asked, ElementsAre("three", "two")) << "least frequent first";
  EXPECT_EQ(count, 2u);
  EXPECT_THAT(Words(), ElementsAre("one", "two"));

  dict.SetOnDeleteWord([](const std::string&, bool& keep) { keep = true; });
  const std::uint32_t before = dict.WordCount();
  dict.SetWordCount(0);
  EXPECT_EQ(dict.WordCount(), before) << "nothing removed, the count stays";
}

TEST_F(ReductionTest, AHandlerThatRaisesLeavesAConsistentDictionary) {
  for (const char* w : {"alpha", "beta", "gamma", "delta", "epsilon"}) Add(w, 1);
  Add("alpha", 4);
  int calls = 0;
  dict.SetOnDeleteWord([&](const std::string&, bool&) {
    if (++calls == 3) throw EConvertError("stop");
  });
  EXPECT_THAT([&] { dict.SetWordCount(1); }, ThrowsMessage<EConvertError>("stop"));
  EXPECT_EQ(dict.WordCount(), 3u) << "two words were removed before the handler raised";
  EXPECT_EQ(dict.Frequency("alpha"), 5u);
  EXPECT_TRUE(TrieInvariantsHold(dict));
}

TEST_F(ReductionTest, ReducingToNothingLeavesTheRoot) {
  Add("abc", 1);
  dict.SetWordCount(0);
  EXPECT_EQ(dict.WordCount(), 0u);
  EXPECT_EQ(dict.GetNodeCount(), 1u);
  EXPECT_EQ(dict.SpellNode(0).ChildCount, 0);
  dict.AddToSpell("abc");
  EXPECT_EQ(dict.WordCount(), 1u);
  EXPECT_TRUE(TrieInvariantsHold(dict));
}

TEST_F(ReductionTest, EncodedBlockSizeLimitsTheWordCount) {
  // 300 one- or two-letter words, each of its own frequency order.
  for (int i = 0; i < 300; ++i) {
    std::string w;
    w += static_cast<char>('A' + i / 26);
    w += static_cast<char>('a' + i % 26);
    dict.AddToSpell(w);
  }
  TVelkWordloom base255(nullptr);
  base255.InitFirstSpellNode();
  for (int i = 0; i < 300; ++i)
    base255.AddToSpell(dict.ExtractSpellWord(
        static_cast<std::uint32_t>(dict.WordTableEntry(static_cast<std::uint32_t>(i)).Node)));

  dict.SetDelimiterOption(wldExclFirstSucc);  // plain codes: up to 255 in one byte
  dict.SetEncodedBlockSize(1);
  EXPECT_EQ(dict.WordCount(), 255u);
  base255.SetEncodedBlockSize(1);  // base-255 codes: up to 254
  EXPECT_EQ(base255.WordCount(), 254u);
  EXPECT_TRUE(TrieInvariantsHold(dict));

  dict.SetEncodedBlockSize(0);
  dict.SetEncodedBlockSize(4);
  EXPECT_EQ(dict.WordCount(), 255u) << "no limit: no word changes";
  EXPECT_THROW(dict.SetEncodedBlockSize(5), ERangeError);
}

// Adds, deletes and reduces thousands of words against a map of word to
// frequency, checking every word and the whole structure after each step.
TEST(ReductionModelTest, RandomOperationsAgreeWithAModel) {
  // A small alphabet gives many shared prefixes; a large one gives nodes with
  // many children, whose blocks map letters to positions.
  for (const unsigned alphabet : {4u, 40u}) {
    SCOPED_TRACE(alphabet);
    std::mt19937 rng(20261207);
    TVelkWordloom dict(nullptr);
    dict.InitFirstSpellNode();
    std::map<std::string, std::uint32_t> model;
    auto random_word = [&] {
      std::string w;
      const int len = 1 + static_cast<int>(rng() % (alphabet > 4 ? 3 : 6));
      for (int i = 0; i < len; ++i) w += static_cast<char>('A' + rng() % alphabet);
      return w;
    };
    for (int step = 0; step < 3000; ++step) {
      const unsigned op = rng() % 100;
      if (op < 70) {
        const std::string w = random_word();
        dict.AddToSpell(w);
        ++model[w];
      } else if (op < 95) {
        const std::string w = random_word();
        dict.DeleteFromSpell(w);
        model.erase(w);
      } else if (!model.empty()) {
        std::uint32_t count = static_cast<std::uint32_t>(rng() % (model.size() + 1));
        // What must survive: the `count` most frequent, ties by word number.
        std::vector<std::pair<std::uint32_t, std::string>> ranked;
        for (std::uint32_t w = 1; w <= dict.WordCount(); ++w) {
          const TWordEntry e = dict.WordTableEntry(w - 1);
          ranked.emplace_back(e.Frequency,
                              dict.ExtractSpellWord(static_cast<std::uint32_t>(e.Node)));
        }
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        dict.SetWordCount(count);
        for (const auto& [f, w] : ranked) {
          if (dict.Frequency(w) == 0) model.erase(w);
        }
        for (std::size_t i = 0; i < ranked.size() && i < count; ++i) {
          ASSERT_GT(dict.Frequency(ranked[i].second), 0u) << "a frequent word was removed";
        }
        if (dict.WordCount() < ranked.size()) {
          // Renumbered: word numbers follow descending frequency.
          for (std::uint32_t w = 2; w <= dict.WordCount(); ++w) {
            ASSERT_GE(dict.WordTableEntry(w - 2).Frequency, dict.WordTableEntry(w - 1).Frequency);
          }
        }
      }
      ASSERT_TRUE(TrieInvariantsHold(dict)) << "after step " << step;
      ASSERT_EQ(dict.WordCount(), model.size()) << "after step " << step;
      if (step % 50 == 0 || op >= 95) {
        for (const auto& [w, f] : model) ASSERT_EQ(dict.Frequency(w), f) << w;
      }
    }
  }
}

}  // namespace
}  // namespace wordloom
