// The body of a spell file, written and read here and nowhere else
// (docs/spell-file-format.md has the layout with a worked example):
//
//   body         words N (4 bytes), nodes M (4 bytes), M node records, N word entries
//   node record  child count c (1), parent (Wn; the root's is all ones),
//                letter (1), c times: child letter (1) and child index (Wn),
//                word number (4)
//   word entry   node index (Wn), frequency (Ww)
//
// with Wn = SpellWidth(M), Ww = SpellWidth(N), all little-endian.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>

#include "dictionary/word_trie.h"
#include "wordloom/platform/coding.h"

namespace wordloom::detail {

// The bytes of a node record with Count children and indices of Width bytes.
constexpr std::uint32_t NodeRecordSize(std::uint32_t Count, std::uint8_t Width) {
  return (Count + 1) * (Width + 1u) + 5;
}
// The longest record: 255 children with 4-byte indices (1285 bytes).
inline constexpr std::uint32_t kMaxNodeRecord = NodeRecordSize(255, 4);

// A node record as decoded: the children as two parallel arrays of Count.
struct NodeRecord {
  std::uint32_t Parent = 0;  // as stored: the root's is all ones of the width
  std::uint8_t Letter = 0;
  std::uint8_t Count = 0;
  std::uint32_t WordNumber = 0;
  std::array<std::uint8_t, 255> Letters;
  std::array<std::uint32_t, 255> Children;
};

// A word entry as stored: the node index is not checked here.
struct StoredWordEntry {
  std::uint32_t Node = 0;
  std::uint32_t Frequency = 0;
};

// Writes node I of Trie as a record with indices of Width bytes at Dest and
// returns its size. REQUIRES: 1 <= Width <= 4, I < Trie.NodeCount(),
// NodeRecordSize(Trie.ChildCount(I), Width) writable bytes at Dest.
std::uint32_t EncodeNodeRecord(const WordTrie& Trie, std::uint32_t I, std::uint8_t Width,
                               std::uint8_t* Dest);

// Decodes the fields that follow a record's child count (Count) into Out.
// REQUIRES: 1 <= Width <= 4, NodeRecordSize(Count, Width) - 1 readable bytes
// at Src. Each index is loaded as four bytes and masked: a letter or the word
// number always follows it inside the record.
inline void DecodeNodeFields(const std::uint8_t* Src, std::uint8_t Count, std::uint8_t Width,
                             NodeRecord& Out) {
  const std::uint32_t mask = WidthMax(Width);
  Out.Count = Count;
  Out.Parent = DecodeFixedMasked(Src, mask);
  Out.Letter = Src[Width];
  const std::uint8_t* child = Src + Width + 1;
  for (std::uint32_t k = 0; k < Count; ++k, child += Width + 1u) {
    Out.Letters[k] = child[0];
    Out.Children[k] = DecodeFixedMasked(child + 1, mask);
  }
  Out.WordNumber = DecodeFixedMasked(child, UINT32_MAX);
}

// Decodes the record at the front of Available bytes at Src into Out and
// returns its size; 0 (Out unspecified) when the bytes end inside it.
// REQUIRES: 1 <= Width <= 4.
std::uint32_t DecodeNodeRecord(const std::uint8_t* Src, std::uint32_t Available, std::uint8_t Width,
                               NodeRecord& Out);

// Writes a word entry at Dest (NodeWidth + FrequencyWidth bytes). A frequency
// too large for its width is stored as the largest value that fits, so that
// the order of the words by frequency survives.
inline void EncodeWordEntry(const TWordEntry& Entry, std::uint8_t NodeWidth,
                            std::uint8_t FrequencyWidth, std::uint8_t* Dest) {
  EncodeFixed(Dest, static_cast<std::uint32_t>(Entry.Node), NodeWidth);
  EncodeFixed(Dest + NodeWidth, std::min(Entry.Frequency, WidthMax(FrequencyWidth)),
              FrequencyWidth);
}

// The word entry at Src. REQUIRES: four readable bytes at Src + NodeWidth,
// even behind a narrow frequency (the body reader keeps slack behind its data).
inline StoredWordEntry DecodeWordEntry(const std::uint8_t* Src, std::uint8_t NodeWidth,
                                       std::uint8_t FrequencyWidth) {
  return {DecodeFixedMasked(Src, WidthMax(NodeWidth)),
          DecodeFixedMasked(Src + NodeWidth, WidthMax(FrequencyWidth))};
}

// Takes exactly Size bytes into Block, or raises EReadError.
using ByteSource = std::function<void(void* Block, std::uint32_t Size)>;
// Gives Size bytes at Block to the file (which may encipher them in place).
using ByteSink = std::function<void(void* Block, std::uint32_t Size)>;

// Writes Trie as a body. Advanced is called after each record and entry,
// BetweenSections once, after the records.
void WriteSpellBody(const WordTrie& Trie, const ByteSink& Write,
                    const std::function<void()>& Advanced,
                    const std::function<void()>& BetweenSections);

// Reads a body into Trie (which must be empty) and checks it: counts backed by
// the bytes that remain (Remaining: how many there are), every index inside
// the node list, parents and children agreeing, child letters distinct, every
// node reachable from the root, word numbers and word entries naming each
// other. Raises EReadError naming the first problem. Total is told the number
// of records and entries once the counts are read, Position how many are done
// (now and then, and at the end of each section), BetweenSections is called
// once, after the records. Reads in large pieces, never past Remaining bytes
// (when Remaining is UINT64_MAX, exactly the bytes each field needs).
void ReadSpellBody(const ByteSource& Read, std::uint64_t Remaining, WordTrie& Trie,
                   const std::function<void(std::uint32_t)>& Total,
                   const std::function<void(std::uint32_t)>& Position,
                   const std::function<void()>& BetweenSections);

}  // namespace wordloom::detail
