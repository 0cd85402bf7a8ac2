// The spell file format: the option byte, and the body reader that checks
// everything it reads. See docs/spell-file-format.md.
#include "storage/spell_file_format.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "wordloom/platform/coding.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom::detail {

namespace {

[[noreturn]] void Fail(const std::string& what) { throw EReadError("spell file: " + what); }

// The longest node record: 255 children with 4-byte indices.
constexpr std::size_t kMaxRecord = (255 + 1) * (4 + 1) + 5;

}  // namespace

std::uint8_t EncodeOptionByte(TWLDelimiterOptions DelimiterOption, std::uint8_t EncodedBlockSize,
                              std::uint32_t UnencodedBlockSize, TWLInputOptions TypeOfInput) {
  // UnencodedBlockSize has three bits: 8 and more would reach into TypeOfInput.
  if (EncodedBlockSize > 4 || UnencodedBlockSize > 7) throw ERangeError(kRangeErrorMessage);
  std::uint32_t byte = DelimiterOption == wldInclFirstSucc ? 1u : 0u;
  byte |= std::uint32_t{EncodedBlockSize} * 2;
  byte |= UnencodedBlockSize * 16;
  if (TypeOfInput == wliFixedBlockSize) byte |= 0x80;
  return static_cast<std::uint8_t>(byte);
}

void DecodeOptionByte(std::uint8_t Byte, SpellHeader& Header) {
  Header.DelimiterOption = (Byte & 1) != 0 ? wldInclFirstSucc : wldExclFirstSucc;
  Header.EncodedBlockSize = (Byte >> 1) & 7;
  if (Header.EncodedBlockSize > 4) {
    Fail("encoded block size " + std::to_string(Header.EncodedBlockSize) + " above 4");
  }
  Header.UnencodedBlockSize = (Byte >> 4) & 7;
  Header.TypeOfInput = (Byte & 0x80) != 0 ? wliFixedBlockSize : wliTextInput;
}

namespace {

// Serves the body's fields from large reads. With the number of bytes left
// known, it reads up to kChunk at a time and never past the end; otherwise it
// reads exactly what each field needs.
class ChunkReader {
 public:
  static constexpr std::size_t kChunk = 1 << 16;

  ChunkReader(const ByteSource& read, std::uint64_t remaining)
      : FRead(read), FRemaining(remaining), FBuffer(kChunk + kMaxRecord + 4) {}

  // The next N bytes (N <= kMaxRecord), valid until the next call; at least
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
    if (missing > FRemaining) Fail("the file ends in the middle of the body");
    std::size_t want = missing;
    if (FRemaining != UINT64_MAX) {
      want = static_cast<std::size_t>(std::min<std::uint64_t>(
          FRemaining, std::max<std::size_t>(missing, kChunk)));
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
  if (n > WordTrie::kMaxWordCapacity) Fail("word count " + std::to_string(n) + " above the limit");
  if (m == 0 && n != 0) Fail("word count " + std::to_string(n) + " but no nodes");
  const std::uint8_t wn = SpellWidth(m);
  const std::uint8_t ww = SpellWidth(n);
  // The smallest body the counts allow: records without children and entries.
  const std::uint64_t needed = std::uint64_t{m} * (wn + 6u) + std::uint64_t{n} * (wn + ww);
  if (needed > Remaining) {
    Fail("node count " + std::to_string(m) + " and word count " + std::to_string(n) +
         " need at least " + std::to_string(needed) + " bytes, only " +
         std::to_string(Remaining) + " remain");
  }
  // The links the file can hold at most: what is left after the smallest
  // records and the entries, at 1 + Wn bytes a link.
  Trie.ReserveNodes(m, Remaining == UINT64_MAX ? 0 : (Remaining - needed) / (wn + 1u));
  Total(static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{m} + n, UINT32_MAX)));

  const std::uint32_t node_mask = WidthMax(wn);
  std::uint32_t done = 0;
  for (std::uint32_t i = 0; i < m; ++i) {
    const std::uint32_t c = *in.Take(1);
    const std::uint8_t* p = in.Take((c + 1) * (wn + 1u) + 4);
    const std::uint32_t parent = DecodeFixedMasked(p, node_mask);
    const std::uint8_t letter = p[wn];
    const std::uint8_t* children = p + wn + 1;
    const std::uint32_t word = DecodeFixedMasked(children + c * (wn + 1u), UINT32_MAX);
    std::int32_t parent_index = -1;
    // The root's parent is stored as all ones of the width; whatever the node
    // count, it is -1 again in memory.
    if (i == 0) {
      if (letter != 0) Fail("the root has the letter " + std::to_string(letter));
      if (word != 0) Fail("the root carries a word");
    } else if (parent >= m) {
      Fail("node " + std::to_string(i) + ": parent " + std::to_string(parent) +
           " outside the node list");
    } else {
      parent_index = static_cast<std::int32_t>(parent);
    }
    if (word > n) {
      Fail("node " + std::to_string(i) + ": word number " + std::to_string(word) +
           " above the word count " + std::to_string(n));
    }
    Trie.AppendRecord(parent_index, letter, static_cast<std::uint8_t>(c), children, wn, word);
    if (++done % kProgressStep == 0) Position(done);
  }
  Position(done);
  BetweenSections();

  Trie.SetWordCapacity(n);
  Trie.SetWordCount(n);
  for (std::uint32_t w = 0; w < n; ++w) {
    const std::uint8_t* p = in.Take(wn + ww);
    const std::uint32_t at = DecodeFixedMasked(p, node_mask);
    if (at >= m) {
      Fail("word " + std::to_string(w + 1) + ": node " + std::to_string(at) +
           " outside the node list");
    }
    Trie.Entry(w) = TWordEntry{static_cast<std::int32_t>(at), DecodeFixedMasked(p + wn, WidthMax(ww))};
    if (++done % kProgressStep == 0) Position(done);
  }
  Position(done);
  const std::string fault = Trie.FindFault();
  if (!fault.empty()) Fail(fault);
}

}  // namespace wordloom::detail
