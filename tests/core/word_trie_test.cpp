// The trie and the word table: node layout, records, capacity and count.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "support/trie_invariants.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;
using testing_support::TrieInvariantsHold;

std::string Bytes(const TByteString& b) { return b.GetString(); }

class WordTrieTest : public ::testing::Test {
 protected:
  WordTrieTest() { dict.InitFirstSpellNode(); }
  TVelkWordloom dict{nullptr};
};

TEST_F(WordTrieTest, WordsShareNodesAndAreNumberedInOrderOfArrival) {
  dict.AddToSpell("ab");
  dict.AddToSpell("ac");
  ASSERT_EQ(dict.GetNodeCount(), 4u);
  const TSpellNode a = dict.SpellNode(1);
  EXPECT_EQ(a.Letter, 'a');
  EXPECT_EQ(a.ChildLetters, "bc");
  EXPECT_THAT(a.Children, ElementsAre(2, 3));
  EXPECT_EQ(dict.SpellNode(2).WordNumber, 1u);
  EXPECT_EQ(dict.SpellNode(3).WordNumber, 2u);
  EXPECT_EQ(dict.ExtractSpellWord(3), "ac");

  dict.AddToSpell("ab");
  EXPECT_EQ(dict.WordCount(), 2u);
  EXPECT_EQ(dict.Frequency("ab"), 2u);

  dict.AddToSpell("a");  // a prefix becomes a word without a new node
  EXPECT_EQ(dict.GetNodeCount(), 4u);
  EXPECT_EQ(dict.SpellNode(1).WordNumber, 3u);
  EXPECT_EQ(dict.WordTableEntry(2).Node, 1);
  EXPECT_TRUE(TrieInvariantsHold(dict));
}

TEST_F(WordTrieTest, WordTableGrowsInStepsOf16) {
  for (int i = 0; i < 16; ++i) dict.AddToSpell(std::string(1, static_cast<char>('A' + i)));
  EXPECT_EQ(dict.WordCapacity(), 16u);
  dict.AddToSpell("Z");
  EXPECT_EQ(dict.WordCount(), 17u);
  EXPECT_EQ(dict.WordCapacity(), 32u);
  EXPECT_TRUE(dict.SpellModified());
}

TEST_F(WordTrieTest, NodeRecordLayoutIsByteExact) {
  dict.AddToSpell("ab");
  dict.AddToSpell("ac");
  TByteString record;
  dict.GetNode(1, record, 1);
  // count, parent, 'a', 'b', child 2, 'c', child 3, word number 0 in four bytes
  EXPECT_EQ(Bytes(record), std::string("\x02\x00\x61\x62\x02\x63\x03\x00\x00\x00\x00", 11));

  TByteString root;
  dict.GetNode(0, root, 2);
  EXPECT_EQ(Bytes(root), std::string("\x01\xFF\xFF\x00\x61\x01\x00\x00\x00\x00\x00", 11));

  TByteString leaf;
  dict.GetNode(3, leaf, 4);
  EXPECT_EQ(Bytes(leaf), std::string("\x00\x01\x00\x00\x00\x63\x02\x00\x00\x00", 10));
  EXPECT_THROW(dict.GetNode(0, leaf, 5), ERangeError);
  EXPECT_THROW(dict.GetNode(4, leaf, 1), EListError);
}

TEST_F(WordTrieTest, AddNodeReadsBackWhatGetNodeWrote) {
  dict.AddToSpell("ab");
  dict.AddToSpell("ac");
  dict.AddToSpell("b");
  for (std::uint8_t width = 1; width <= 4; ++width) {
    SCOPED_TRACE(static_cast<int>(width));
    TByteString stream;
    for (std::uint32_t i = 0; i < dict.GetNodeCount(); ++i) dict.GetNode(i, stream, width);
    stream.AppendChar(0xEE);  // a byte behind the records stays where it is

    TVelkWordloom copy(nullptr);
    for (std::uint32_t i = 0; i < dict.GetNodeCount(); ++i) copy.AddNode(stream, width);
    EXPECT_EQ(Bytes(stream), "\xEE");
    ASSERT_EQ(copy.GetNodeCount(), dict.GetNodeCount());
    EXPECT_EQ(copy.SpellNode(0).Parent, -1) << "the root is never taken for a child";
    for (std::uint32_t i = 0; i < dict.GetNodeCount(); ++i) {
      const TSpellNode a = dict.SpellNode(i);
      const TSpellNode b = copy.SpellNode(i);
      EXPECT_EQ(a.Parent, b.Parent);
      EXPECT_EQ(a.Letter, b.Letter);
      EXPECT_EQ(a.ChildLetters, b.ChildLetters);
      EXPECT_EQ(a.Children, b.Children);
      EXPECT_EQ(a.WordNumber, b.WordNumber);
    }
    EXPECT_EQ(copy.ExtractSpellWord(3), "ac");
  }
}

TEST_F(WordTrieTest, AddNodeRefusesARecordCutShortWhole) {
  dict.AddToSpell("ab");
  dict.AddToSpell("ac");
  TByteString record;
  dict.GetNode(1, record, 2);
  record.SetSize(record.Size() - 1);  // the word number lacks a byte
  const std::string before = Bytes(record);
  TVelkWordloom copy(nullptr);
  EXPECT_THROW(copy.AddNode(record, 2), EIntOverflow);
  EXPECT_EQ(Bytes(record), before) << "nothing was withdrawn";
  EXPECT_EQ(copy.GetNodeCount(), 0u);
  EXPECT_THROW(copy.AddNode(record, 0), ERangeError);
}

TEST_F(WordTrieTest, TwoHundredFiftySixthChildOverflows) {
  for (int c = 0; c < 255; ++c) dict.AddToSpell(std::string(1, static_cast<char>(c + 1)));
  EXPECT_EQ(dict.SpellNode(0).ChildCount, 255);
  dict.FormatChar()->SetToken(1);  // frees byte 0 for one more child
  EXPECT_THROW(dict.AddToSpell(std::string(1, '\0')), EIntOverflow);
  EXPECT_EQ(dict.SpellNode(0).ChildCount, 255);
  EXPECT_EQ(dict.GetNodeCount(), 256u);
  EXPECT_TRUE(TrieInvariantsHold(dict));
}

TEST_F(WordTrieTest, CapacityAndCountSetters) {
  dict.AddToSpell("one");
  dict.AddToSpell("two");
  EXPECT_THAT([&] { dict.SetCapacity(1); },
              ThrowsMessage<EListError>("Word frequency table capacity out of bounds "));
  EXPECT_THROW(dict.SetCapacity(134217728), EListError);
  int reports = 0;
  dict.SetOnException([&](TObject*, ErrorClass, const std::string&, bool& handled) {
    ++reports;
    handled = true;
  });
  dict.SetCapacity(1);
  EXPECT_EQ(dict.WordCapacity(), 16u) << "a handled report changes nothing";
  dict.SetCapacity(2);
  EXPECT_EQ(dict.WordCapacity(), 2u);
  EXPECT_EQ(dict.Frequency("two"), 1u);

  // Raising the count by hand creates zeroed entries.
  dict.SetWordCount(5);
  EXPECT_EQ(dict.WordCount(), 5u);
  EXPECT_EQ(dict.WordCapacity(), 5u);
  EXPECT_EQ(dict.WordTableEntry(4).Node, 0);
  EXPECT_EQ(dict.WordTableEntry(4).Frequency, 0u);
  dict.SetWordCount(7);
  EXPECT_EQ(dict.WordCount(), 7u);

  // A hard-coded dictionary reports any count not above the current one.
  TVelkWordloom hard(nullptr);
  hard.InitFirstSpellNode();
  hard.AddToSpell("a");
  hard.AddToSpell("b");
  hard.SetSpellFileOptions({wlsHardCoded});
  EXPECT_THAT([&] { hard.SetWordCount(2); }, ThrowsMessage<EListError>("List count out of bounds"));
  EXPECT_THROW(hard.SetWordCount(1), EListError);
  EXPECT_EQ(hard.WordCount(), 2u);
  hard.SetOnException([](TObject*, ErrorClass, const std::string&, bool& handled) {
    handled = true;
  });
  hard.SetWordCount(1);  // handled: the shrink goes ahead
  EXPECT_EQ(hard.WordCount(), 1u);
  EXPECT_TRUE(TrieInvariantsHold(hard));

  // While designing, both count setters do nothing.
  hard.SetDesigning(true);
  hard.SetWordCount(10);
  hard.SetNodeCount(0);
  EXPECT_EQ(hard.WordCount(), 1u);
  EXPECT_GT(hard.GetNodeCount(), 0u);
}

TEST_F(WordTrieTest, DisposeListFreesEverythingAndWalksNeedARoot) {
  dict.AddToSpell("word");
  dict.DisposeList();
  EXPECT_EQ(dict.GetNodeCount(), 0u);
  EXPECT_EQ(dict.WordCount(), 0u);
  EXPECT_EQ(dict.WordCapacity(), 0u);
  EXPECT_THROW(dict.AddToSpell("word"), EListError);
  EXPECT_THROW(dict.Frequency("word"), EListError);
  EXPECT_EQ(dict.Frequency(""), 0u);
}

}  // namespace
}  // namespace wordloom
