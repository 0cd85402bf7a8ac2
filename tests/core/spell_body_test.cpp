// The spell file body's pieces: node records and word entries, encoded and
// decoded at every width, and records cut short.
#include "storage/spell_body.h"

#include <gtest/gtest.h>

#include <string>

#include "dictionary/word_trie.h"
#include "wordloom/wordloom.h"

namespace wordloom::detail {
namespace {

std::string Bytes(const std::uint8_t* p, std::size_t n) {
  return std::string(reinterpret_cast<const char*>(p), n);
}

// A root with 40 children 'A'.. (so that its block has a letter map), the
// first of which carries word 1.
WordTrie WideTrie() {
  WordTrie trie;
  TSpellNode root;
  trie.AppendNode(root);
  for (std::uint8_t k = 0; k < 40; ++k) trie.AddChild(0, static_cast<std::uint8_t>('A' + k));
  trie.SetWordCapacity(1);
  trie.SetWordCount(1);
  trie.SetWordNumber(1, 1);
  trie.Entry(0) = TWordEntry{1, 7};
  return trie;
}

TEST(SpellBodyTest, NodeRecordsRoundTripAtEveryWidth) {
  const WordTrie trie = WideTrie();
  for (std::uint8_t width = 1; width <= 4; ++width) {
    SCOPED_TRACE(static_cast<int>(width));
    WordTrie copy;
    for (std::uint32_t i = 0; i < trie.NodeCount(); ++i) {
      SCOPED_TRACE(i);
      std::uint8_t record[kMaxNodeRecord];
      const std::uint32_t size = EncodeNodeRecord(trie, i, width, record);
      ASSERT_EQ(size, NodeRecordSize(trie.ChildCount(i), width));
      NodeRecord decoded;
      ASSERT_EQ(DecodeNodeRecord(record, size, width, decoded), size);
      EXPECT_EQ(decoded.Parent, i == 0 ? WidthMax(width) : 0u) << "the root's parent is all ones";
      copy.AppendRecord(i == 0 ? -1 : static_cast<std::int32_t>(decoded.Parent), decoded.Letter,
                        decoded.Count, decoded.Letters.data(), decoded.Children.data(),
                        decoded.WordNumber);
    }
    ASSERT_EQ(copy.NodeCount(), trie.NodeCount());
    for (std::uint8_t k = 0; k < 40; ++k) {
      EXPECT_EQ(copy.FindChild(0, static_cast<std::uint8_t>('A' + k)), k + 1);
    }
    EXPECT_EQ(copy.FindChild(0, 'z'), -1);
    EXPECT_EQ(copy.WordNumber(1), 1u);
    EXPECT_EQ(copy.Parent(40), 0);
  }
}

TEST(SpellBodyTest, RecordCutShortIsNotDecoded) {
  const WordTrie trie = WideTrie();
  std::uint8_t record[kMaxNodeRecord];
  const std::uint32_t size = EncodeNodeRecord(trie, 0, 2, record);
  NodeRecord decoded;
  EXPECT_EQ(DecodeNodeRecord(record, size - 1, 2, decoded), 0u);
  EXPECT_EQ(DecodeNodeRecord(record, 0, 2, decoded), 0u);
  EXPECT_EQ(DecodeNodeRecord(record, size + 3, 2, decoded), size) << "bytes behind it stay";
}

TEST(SpellBodyTest, WordEntriesAreByteExactAndFrequenciesSaturate) {
  const struct {
    TWordEntry entry;
    std::uint8_t node_width, frequency_width;
    std::string bytes;
    std::uint32_t frequency_read;
  } kCases[] = {
      {{1, 1}, 1, 1, std::string("\x01\x01", 2), 1},
      {{0x0203, 300}, 2, 1, std::string("\x03\x02\xFF", 3), 255},  // saturated, not cut
      {{0x010203, 0x10000}, 3, 2, std::string("\x03\x02\x01\xFF\xFF", 5), 0xFFFF},
      {{5, 0x01020304}, 1, 4, std::string("\x05\x04\x03\x02\x01", 5), 0x01020304},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.bytes.size());
    std::uint8_t buffer[12] = {};  // slack behind the entry, as the reader keeps
    EncodeWordEntry(c.entry, c.node_width, c.frequency_width, buffer);
    EXPECT_EQ(Bytes(buffer, c.node_width + c.frequency_width), c.bytes);
    const StoredWordEntry back = DecodeWordEntry(buffer, c.node_width, c.frequency_width);
    EXPECT_EQ(back.Node, static_cast<std::uint32_t>(c.entry.Node));
    EXPECT_EQ(back.Frequency, c.frequency_read);
  }
}

}  // namespace
}  // namespace wordloom::detail
