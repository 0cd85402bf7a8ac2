// The body of a spell file: node records and word entries, encoded and
// decoded, and the reader that checks everything it reads (spell_body.h has
// the layout; docs/spell-file-format.md the worked example).
#include "storage/spell_body.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "storage/spell_file_format.h"
#include "wordloom/storage/spell_width.h"

namespace wordloom::detail {

std::uint32_t EncodeNodeRecord(const WordTrie& Trie, std::uint32_t I, std::uint8_t Width,
                               std::uint8_t* Dest) {
  const WordTrie::ChildArrays children = Trie.Children(I);
  std::uint8_t* p = Dest;
  *p++ = static_cast<std::uint8_t>(children.Count);
  EncodeFixed(p, static_cast<std::uint32_t>(Trie.Parent(I)), Width);  // the root's: all ones
  p += Width;
  *p++ = Trie.Letter(I);
  for (std::uint32_t k = 0; k < children.Count; ++k) {
    *p++ = children.Letters[k];
    EncodeFixed(p, children.Indices[k], Width);
    p += Width;
  }
  EncodeFixed(p, Trie.WordNumber(I), 4);
  return static_cast<std::uint32_t>(p + 4 - Dest);
}

std::uint32_t DecodeNodeRecord(const std::uint8_t* Src, std::uint32_t Available, std::uint8_t Width,
                               NodeRecord& Out) {
  if (Available == 0) return 0;
  const std::uint32_t size = NodeRecordSize(Src[0], Width);
  if (size > Available) return 0;
  DecodeNodeFields(Src + 1, Src[0], Width, Out);
  return size;
}

void WriteSpellBody(const WordTrie& Trie, const ByteSink& Write,
                    const std::function<void()>& Advanced,
                    const std::function<void()>& BetweenSections) {
  const std::uint32_t words = Trie.WordCount();
  const std::uint32_t nodes = Trie.NodeCount();
  const std::uint8_t ww = SpellWidth(words);
  const std::uint8_t wn = SpellWidth(nodes);
  std::uint8_t counts[8];
  EncodeFixed(counts, words, 4);
  EncodeFixed(counts + 4, nodes, 4);
  Write(counts, sizeof counts);
  std::array<std::uint8_t, kMaxNodeRecord> record;
  for (std::uint32_t i = 0; i < nodes; ++i) {
    Write(record.data(), EncodeNodeRecord(Trie, i, wn, record.data()));
    Advanced();
  }
  BetweenSections();
  std::uint8_t entry[8];
  for (std::uint32_t w = 0; w < words; ++w) {
    EncodeWordEntry(Trie.Entry(w), wn, ww, entry);
    Write(entry, wn + ww);
    Advanced();
  }
}

namespace {

// Serves the body's fields from large reads. With the number of bytes left
// known, it reads up to kChunk at a time and never past the end; otherwise it
// reads exactly what each field needs.
class ChunkReader {
 public:
  static constexpr std::size_t kChunk = 1 << 16;

  ChunkReader(const ByteSource& read, std::uint64_t remaining)
      : FRead(read), FRemaining(remaining), FBuffer(kChunk + kMaxNodeRecord + 4) {}

  // The next N bytes (N <= kMaxNodeRecord), valid until the next call; at least
  // four bytes behind them stay readable.
  const std::uint8_t* Take(std::size_t n) {
    if (FEnd - FPos < n) Refill(n);
    const std::uint8_t* p = FBuffer.data() + FPos;
    FPos += n;
    return p;
  }

 private:
  void Refill(std::size_t n) {
    const std::size_t left = FEnd - FPos;
    std::memmove(FBuffer.data(), FBuffer.data() + FPos, left);
    FPos = 0;
    FEnd = left;
    const std::size_t missing = n - left;
    if (missing > FRemaining) FailSpellFile("the file ends in the middle of the body");
    std::size_t want = missing;
    if (FRemaining != UINT64_MAX) {
      want = static_cast<std::size_t>(
          std::min<std::uint64_t>(FRemaining, std::max<std::size_t>(missing, kChunk)));
      FRemaining -= want;
    }
    FRead(FBuffer.data() + FEnd, static_cast<std::uint32_t>(want));
    FEnd += want;
  }

  const ByteSource& FRead;
  std::uint64_t FRemaining;
  std::vector<std::uint8_t> FBuffer;
  std::size_t FPos = 0;
  std::size_t FEnd = 0;
};

// Progress moves in steps, not per record: the display cannot show more.
constexpr std::uint32_t kProgressStep = 4096;

}  // namespace

void ReadSpellBody(const ByteSource& Read, std::uint64_t Remaining, WordTrie& Trie,
                   const std::function<void(std::uint32_t)>& Total,
                   const std::function<void(std::uint32_t)>& Position,
                   const std::function<void()>& BetweenSections) {
  ChunkReader in(Read, Remaining);
  const std::uint8_t* counts = in.Take(8);
  const std::uint32_t n = DecodeFixed(counts, 4);
  const std::uint32_t m = DecodeFixed(counts + 4, 4);
  Remaining = Remaining >= 8 ? Remaining - 8 : 0;
  if (n > WordTrie::kMaxWordCapacity)
    FailSpellFile("word count " + std::to_string(n) + " above the limit");
  if (m == 0 && n != 0) FailSpellFile("word count " + std::to_string(n) + " but no nodes");
  const std::uint8_t wn = SpellWidth(m);
  const std::uint8_t ww = SpellWidth(n);
  // The smallest body the counts allow: records without children and entries.
  const std::uint64_t needed = std::uint64_t{m} * (wn + 6u) + std::uint64_t{n} * (wn + ww);
  if (needed > Remaining) {
    FailSpellFile("node count " + std::to_string(m) + " and word count " + std::to_string(n) +
                  " need at least " + std::to_string(needed) + " bytes, only " +
                  std::to_string(Remaining) + " remain");
  }
  // The links the file can hold at most: what is left after the smallest
  // records and the entries, at 1 + Wn bytes a link.
  Trie.ReserveNodes(m, Remaining == UINT64_MAX ? 0 : (Remaining - needed) / (wn + 1u));
  Total(static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{m} + n, UINT32_MAX)));

  NodeRecord record;
  std::uint32_t done = 0;
  for (std::uint32_t i = 0; i < m; ++i) {
    const std::uint8_t c = *in.Take(1);
    DecodeNodeFields(in.Take(NodeRecordSize(c, wn) - 1), c, wn, record);
    std::int32_t parent_index = -1;
    // The root's parent is stored as all ones of the width; whatever the node
    // count, it is -1 again in memory.
    if (i == 0) {
      if (record.Letter != 0)
        FailSpellFile("the root has the letter " + std::to_string(record.Letter));
      if (record.WordNumber != 0) FailSpellFile("the root carries a word");
    } else if (record.Parent >= m) {
      FailSpellFile("node " + std::to_string(i) + ": parent " + std::to_string(record.Parent) +
                    " outside the node list");
    } else {
      parent_index = static_cast<std::int32_t>(record.Parent);
    }
    if (record.WordNumber > n) {
      FailSpellFile("node " + std::to_string(i) + ": word number " +
                    std::to_string(record.WordNumber) + " above the word count " +
                    std::to_string(n));
    }
    Trie.AppendRecord(parent_index, record.Letter, c, record.Letters.data(), record.Children.data(),
                      record.WordNumber);
    if (++done % kProgressStep == 0) Position(done);
  }
  Position(done);
  BetweenSections();

  Trie.SetWordCapacity(n);
  Trie.SetWordCount(n);
  for (std::uint32_t w = 0; w < n; ++w) {
    const StoredWordEntry entry = DecodeWordEntry(in.Take(wn + ww), wn, ww);
    if (entry.Node >= m) {
      FailSpellFile("word " + std::to_string(w + 1) + ": node " + std::to_string(entry.Node) +
                    " outside the node list");
    }
    Trie.Entry(w) = TWordEntry{static_cast<std::int32_t>(entry.Node), entry.Frequency};
    if (++done % kProgressStep == 0) Position(done);
  }
  Position(done);
  const std::string fault = Trie.FindFault();
  if (!fault.empty()) FailSpellFile(fault);
}

}  // namespace wordloom::detail
