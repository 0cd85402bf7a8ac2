// The spell file format: the option byte, and the body reader that checks
// everything it reads. See docs/spell-file-format.md.
#include "storage/spell_file_format.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "wordloom/platform/exceptions.h"

namespace wordloom::detail {

namespace {

[[noreturn]] void Fail(const std::string& what) { throw EReadError("spell file: " + what); }

std::uint32_t ReadLittleEndian(const std::uint8_t* p, std::uint8_t width) {
  std::uint32_t v = 0;
  for (std::uint8_t i = 0; i < width; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
  return v;
}

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

void ReadSpellBody(const ByteSource& Read, std::uint64_t Remaining, WordTrie& Trie,
                   const std::function<void(std::uint32_t)>& Total,
                   const std::function<void()>& Step,
                   const std::function<void()>& BetweenSections) {
  std::uint8_t buffer[kMaxRecord];
  Read(buffer, 8);
  const std::uint32_t n = ReadLittleEndian(buffer, 4);
  const std::uint32_t m = ReadLittleEndian(buffer + 4, 4);
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
  Trie.ReserveNodes(m);
  Total(static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{m} + n, UINT32_MAX)));

  TSpellNode node;
  for (std::uint32_t i = 0; i < m; ++i) {
    // Each record in two reads: its child count, then the rest it implies.
    Read(buffer, 1);
    const std::uint32_t c = buffer[0];
    const std::uint32_t rest = (c + 1) * (wn + 1u) + 4;
    Read(buffer + 1, rest);
    const std::uint8_t* p = buffer + 1;
    const std::uint32_t parent = ReadLittleEndian(p, wn);
    p += wn;
    node.Letter = *p++;
    // The root's parent is stored as all ones of the width; whatever the node
    // count, it is -1 again in memory.
    if (i == 0) {
      if (node.Letter != 0) Fail("the root has the letter " + std::to_string(node.Letter));
      node.Parent = -1;
    } else if (parent >= m) {
      Fail("node " + std::to_string(i) + ": parent " + std::to_string(parent) +
           " outside the node list");
    } else {
      node.Parent = static_cast<std::int32_t>(parent);
    }
    node.ChildCount = static_cast<std::uint8_t>(c);
    node.ChildLetters.resize(c);
    node.Children.resize(c);
    for (std::uint32_t k = 0; k < c; ++k) {
      node.ChildLetters[k] = static_cast<char>(*p++);
      const std::uint32_t child = ReadLittleEndian(p, wn);
      p += wn;
      if (child == 0 || child >= m) {
        Fail("node " + std::to_string(i) + ": child index " + std::to_string(child) +
             " outside the node list");
      }
      node.Children[k] = static_cast<std::int32_t>(child);
    }
    node.WordNumber = ReadLittleEndian(p, 4);
    if (i == 0 && node.WordNumber != 0) Fail("the root carries a word");
    if (node.WordNumber > n) {
      Fail("node " + std::to_string(i) + ": word number " + std::to_string(node.WordNumber) +
           " above the word count " + std::to_string(n));
    }
    Trie.AppendNode(node);
    Step();
  }
  BetweenSections();

  Trie.SetWordCapacity(n);
  Trie.SetWordCount(n);
  for (std::uint32_t w = 0; w < n; ++w) {
    Read(buffer, wn + ww);
    const std::uint32_t at = ReadLittleEndian(buffer, wn);
    if (at >= m) {
      Fail("word " + std::to_string(w + 1) + ": node " + std::to_string(at) +
           " outside the node list");
    }
    Trie.Entry(w) = TWordEntry{static_cast<std::int32_t>(at), ReadLittleEndian(buffer + wn, ww)};
    Step();
  }
  CheckReadTrie(Trie);
}

void CheckReadTrie(const WordTrie& Trie) {
  const std::uint32_t m = Trie.NodeCount();
  const std::uint32_t n = Trie.WordCount();
  if (m == 0) {
    if (n != 0) Fail("words without nodes");
    return;
  }
  // Children and parents agree; each node but the root is linked once.
  std::vector<std::uint8_t> linked(m, 0);
  for (std::uint32_t i = 0; i < m; ++i) {
    std::array<bool, 256> seen{};
    Trie.ForEachChild(i, [&](std::uint8_t letter, std::uint32_t child) {
      if (child == 0 || child >= m) {
        Fail("node " + std::to_string(i) + ": child index " + std::to_string(child) +
             " outside the node list");
      }
      if (seen[letter]) Fail("node " + std::to_string(i) + ": child letter repeated");
      seen[letter] = true;
      if (Trie.Parent(child) != static_cast<std::int32_t>(i)) {
        Fail("node " + std::to_string(child) + ": its parent is " +
             std::to_string(Trie.Parent(child)) + ", but node " + std::to_string(i) +
             " links it");
      }
      if (Trie.Letter(child) != letter) {
        Fail("node " + std::to_string(child) + ": its letter differs from its parent's link");
      }
      if (linked[child]++ != 0) Fail("node " + std::to_string(child) + " is linked twice");
    });
  }
  for (std::uint32_t i = 1; i < m; ++i) {
    if (linked[i] == 0) Fail("node " + std::to_string(i) + " is not linked from its parent");
  }
  // Every node is reachable from the root: nodes linked once each can still
  // form a cycle apart from it.
  std::vector<std::uint32_t> pending{0};
  std::uint32_t reached = 0;
  while (!pending.empty()) {
    const std::uint32_t i = pending.back();
    pending.pop_back();
    ++reached;
    Trie.ForEachChild(i, [&](std::uint8_t, std::uint32_t child) { pending.push_back(child); });
  }
  if (reached != m) Fail(std::to_string(m - reached) + " nodes are not reachable from the root");
  // Word numbers and word entries name each other.
  for (std::uint32_t i = 0; i < m; ++i) {
    const std::uint32_t w = Trie.WordNumber(i);
    if (w != 0 && Trie.Entry(w - 1).Node != static_cast<std::int32_t>(i)) {
      Fail("node " + std::to_string(i) + " carries word number " + std::to_string(w) +
           ", whose entry names node " + std::to_string(Trie.Entry(w - 1).Node));
    }
  }
  for (std::uint32_t w = 1; w <= n; ++w) {
    const std::int32_t at = Trie.Entry(w - 1).Node;
    if (at < 0 || static_cast<std::uint32_t>(at) >= m ||
        Trie.WordNumber(static_cast<std::uint32_t>(at)) != w) {
      Fail("word entry " + std::to_string(w) + " names node " + std::to_string(at) +
           ", which does not carry that word");
    }
  }
}

}  // namespace wordloom::detail
