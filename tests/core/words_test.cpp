// Adding, finding and deleting words.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "support/trie_invariants.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using ::testing::ThrowsMessage;
using testing_support::TrieInvariantsHold;

class WordsTest : public ::testing::Test {
 protected:
  WordsTest() { dict.InitFirstSpellNode(); }
  void HandleErrors() {
    dict.SetOnException([this](TObject*, ErrorClass, const std::string& msg, bool& handled) {
      reports.push_back(msg);
      handled = true;
    });
  }
  TVelkWordloom dict{nullptr};
  std::vector<std::string> reports;
};

TEST_F(WordsTest, FrequencyCountsWholeWordsOnly) {
  dict.AddToSpell("the");
  dict.AddToSpell("the");
  dict.AddToSpell("the");
  EXPECT_EQ(dict.Frequency("the"), 3u);
  EXPECT_EQ(dict.WordCount(), 1u);

  dict.AddToSpell("there");
  EXPECT_EQ(dict.Frequency("there"), 1u);
  EXPECT_EQ(dict.Frequency("th"), 0u) << "a prefix is no word";
  EXPECT_EQ(dict.Frequency("thereof"), 0u);
  EXPECT_EQ(dict.Frequency("The"), 0u) << "case is significant";
  EXPECT_EQ(dict.Frequency(""), 0u);

  // Any byte but the token may be part of a word.
  dict.FormatChar()->SetToken(1);
  const std::string odd("\x00\xFF caf\xC3\xA9", 8);
  dict.AddToSpell(odd);
  EXPECT_EQ(dict.Frequency(odd), 1u);
  EXPECT_EQ(dict.ExtractSpellWord(static_cast<std::uint32_t>(dict.CurrentNode())), odd);
}

TEST_F(WordsTest, RefusedWordsAreReportedWithTheirMessages) {
  dict.AddToSpell("x");
  dict.SetSpellFileOptions({wlsHardCoded});
  EXPECT_THAT([&] { dict.AddToSpell("y"); },
              ThrowsMessage<EPropertyError>("Cannot alter hardcoded spell file."));
  HandleErrors();
  dict.AddToSpell("y");
  EXPECT_EQ(dict.WordCount(), 1u) << "nothing is added, handled or not";
  EXPECT_EQ(dict.Frequency("y"), 0u);

  dict.SetSpellFileOptions({});
  dict.SetOnException(nullptr);
  EXPECT_THAT([&] { dict.AddToSpell(""); },
              ThrowsMessage<EConvertError>("Cannot add an empty string."));
  EXPECT_THAT([&] { dict.AddToSpell(std::string("a\0b", 3)); },
              ThrowsMessage<EConvertError>("Cannot add a word containing the format char."));
  EXPECT_EQ(dict.WordCount(), 1u);
  EXPECT_EQ(dict.Frequency("a"), 0u) << "the nodes before the token carry no word";
  EXPECT_TRUE(TrieInvariantsHold(dict, /*AllowDeadEnds=*/true));

  HandleErrors();
  dict.AddToSpell(std::string("a\0b", 3));  // handled: the token is taken as a byte
  EXPECT_EQ(dict.Frequency(std::string("a\0b", 3)), 1u);
  EXPECT_EQ(reports.size(), 2u);
}

TEST_F(WordsTest, DeleteRemovesOnlyNodesThatLeadNowhere) {
  dict.AddToSpell("ab");
  dict.DeleteFromSpell("ab");
  EXPECT_EQ(dict.GetNodeCount(), 1u) << "only the root stays";
  EXPECT_EQ(dict.WordCount(), 0u);
  EXPECT_EQ(dict.Frequency("ab"), 0u);
  EXPECT_EQ(dict.SpellNode(0).ChildCount, 0);
  EXPECT_TRUE(dict.SpellModified()) << "a deletion must reach the file";

  dict.AddToSpell("ab");
  dict.AddToSpell("ac");
  dict.AddToSpell("ac");
  dict.DeleteFromSpell("ab");
  EXPECT_EQ(dict.GetNodeCount(), 3u);
  EXPECT_EQ(dict.SpellNode(1).ChildLetters, "c");
  EXPECT_EQ(dict.Frequency("ac"), 2u);
  EXPECT_EQ(dict.SpellNode(static_cast<std::uint32_t>(dict.CurrentNode())).WordNumber, 1u)
      << "the last word takes over the deleted word's number";
  EXPECT_EQ(dict.WordCapacity(), 1u);
  EXPECT_TRUE(TrieInvariantsHold(dict));

  dict.AddToSpell("a");
  dict.DeleteFromSpell("a");  // a prefix of "ac": only its mark goes
  EXPECT_EQ(dict.GetNodeCount(), 3u);
  EXPECT_EQ(dict.Frequency("ac"), 2u);

  const std::uint32_t nodes = dict.GetNodeCount();
  dict.DeleteFromSpell("zz");
  dict.DeleteFromSpell("a");
  dict.DeleteFromSpell("");
  EXPECT_EQ(dict.GetNodeCount(), nodes);
  EXPECT_EQ(dict.WordCount(), 1u);
  EXPECT_TRUE(TrieInvariantsHold(dict));
}

TEST_F(WordsTest, DeleteClosesUpTheNodeListAndRewritesReferences) {
  // Deleting an early, long word frees low node indices that later nodes fill.
  const char* kWords[] = {"abcdef", "abx", "q", "qrs", "zebra", "abcdxy", "m"};
  for (const char* w : kWords) dict.AddToSpell(w);
  dict.AddToSpell("zebra");
  dict.DeleteFromSpell("abcdef");
  EXPECT_TRUE(TrieInvariantsHold(dict));
  EXPECT_EQ(dict.Frequency("abcdef"), 0u);
  EXPECT_EQ(dict.Frequency("zebra"), 2u);
  EXPECT_EQ(dict.Frequency("abcdxy"), 1u);
  dict.DeleteFromSpell("q");
  dict.DeleteFromSpell("abx");
  EXPECT_TRUE(TrieInvariantsHold(dict));
  for (const char* w : {"qrs", "zebra", "abcdxy", "m"}) EXPECT_GT(dict.Frequency(w), 0u) << w;
  // Removed words come back with the next free number.
  dict.AddToSpell("abx");
  EXPECT_EQ(dict.SpellNode(static_cast<std::uint32_t>(dict.WordTableEntry(4).Node)).WordNumber, 5u);
  EXPECT_EQ(dict.ExtractSpellWord(static_cast<std::uint32_t>(dict.WordTableEntry(4).Node)), "abx");
}

}  // namespace
}  // namespace wordloom
