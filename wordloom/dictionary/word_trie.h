// The word trie and the word table of a dictionary, stored for speed and size.
// Nodes are kept by value in two parallel vectors: what a walk down the trie
// reads (8 bytes a node) apart from what it does not (parent and word number,
// 8 bytes), so that walks touch half the memory. A node with one child keeps
// it inline; a node with more keeps its children's letters and indices
// together in one block of a shared pool, so that a step down the trie touches
// one or two cache lines. The dictionary component adds reporting and policy.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "wordloom/dictionary/spell_node.h"

namespace wordloom::detail {

// Reported when a node is missing from its parent's children while the node
// list is closed up.
inline constexpr const char* kCorruptSpellIndex = "Corrupt spell index - please reload spell file.";

class WordTrie {
 public:
  // The most word table entries: their size in bytes (8 each) fits a signed 32-bit value.
  static constexpr std::uint32_t kMaxWordCapacity = 134217727;
  static constexpr std::uint8_t kMaxChildren = 255;

  // ---- nodes ----
  std::uint32_t NodeCount() const { return static_cast<std::uint32_t>(FNav.size()); }
  // Appends a node as described (children given by index, not created).
  // Returns its index.
  std::uint32_t AppendNode(const TSpellNode& Node);
  // Appends a node with Count children given as parallel arrays of their
  // letters and indices (not created). Returns its index.
  std::uint32_t AppendRecord(std::int32_t Parent, std::uint8_t Letter, std::uint8_t Count,
                             const std::uint8_t* Letters, const std::uint32_t* Children,
                             std::uint32_t WordNumber);
  // Checks the whole structure as a reader of outside data must: indices
  // inside the node list, parents and children agreeing, distinct child
  // letters, each node but the root linked once, all reachable from the root,
  // word numbers and word entries naming each other. Returns the first
  // problem found, or an empty string.
  std::string FindFault() const;

  // A copy of node I. REQUIRES: I < NodeCount() (EListError otherwise).
  TSpellNode Node(std::uint32_t I) const;
  std::int32_t Parent(std::uint32_t I) const { return Links(I).Parent; }
  std::uint8_t Letter(std::uint32_t I) const { return At(I).Letter; }
  std::uint8_t ChildCount(std::uint32_t I) const { return At(I).ChildCount; }
  std::uint32_t WordNumber(std::uint32_t I) const { return Links(I).WordNumber; }
  void SetWordNumber(std::uint32_t I, std::uint32_t W) {
    Links(I).WordNumber = W;
    Touch();
  }

  // The child of node I reached by C (the first such child), or -1.
  std::int32_t FindChild(std::uint32_t I, std::uint8_t C) const {
    const NavNode& n = At(I);
    if (n.ChildCount == 1) return n.OnlyLetter == C ? static_cast<std::int32_t>(n.Child) : -1;
    if (n.ChildCount == 0) return -1;
    if (n.BlockClass >= kMappedClass) {
      // A large block maps each letter straight to its position.
      const std::uint8_t at = BlockMap(n.Child, n.BlockClass)[C];
      return at == 0 ? -1 : static_cast<std::int32_t>(BlockIndices(n.Child, n.BlockClass)[at - 1]);
    }
    const int k = FindLetter(BlockLetters(n.Child), n.ChildCount, C);
    return k < 0 ? -1 : static_cast<std::int32_t>(BlockIndices(n.Child, n.BlockClass)[k]);
  }
  // Creates a child of node I for C, after its other children; returns its index.
  // Raises EIntOverflow, changing nothing, when node I has 255 children.
  std::uint32_t AddChild(std::uint32_t I, std::uint8_t C);
  // The children of node I as two parallel arrays, valid while the trie does
  // not change.
  struct ChildArrays {
    const std::uint8_t* Letters;
    const std::uint32_t* Indices;
    std::uint32_t Count;
  };
  ChildArrays Children(std::uint32_t I) const {
    const NavNode& n = At(I);
    if (n.ChildCount <= 1) return {&n.OnlyLetter, &n.Child, n.ChildCount};
    return {BlockLetters(n.Child), BlockIndices(n.Child, n.BlockClass), n.ChildCount};
  }
  // Calls F(letter, index) for each child of node I in creation order.
  template <typename F>
  void ForEachChild(std::uint32_t I, F&& f) const;

  // Makes room for N nodes in all, with Children child links among them.
  void ReserveNodes(std::uint32_t N, std::uint64_t Children = 0) {
    FNav.reserve(N);
    FLinks.reserve(N);
    // Blocks round capacities up to powers of two: room for about 1.5 words
    // a link, on top of the letters.
    FPool.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(Children * 7 / 4, 1u << 30)));
  }
  // Exchanges the whole structure with Other.
  void Swap(WordTrie& Other) noexcept {
    FNav.swap(Other.FNav);
    FLinks.swap(Other.FLinks);
    FPool.swap(Other.FPool);
    FFreeBlocks.swap(Other.FFreeBlocks);
    FWordTable.swap(Other.FWordTable);
    std::swap(FWordCount, Other.FWordCount);
    std::swap(FWordCapacity, Other.FWordCapacity);
    Touch();
    Other.Touch();
  }

  // A number that changes whenever the words, their numbers or the nodes may
  // have changed (not on frequency changes), unique across all tries: what is
  // derived from the word set (a search index) is still valid while it stays.
  // Drawn when first asked for after a change, so that changing costs a store.
  std::uint64_t Revision() const {
    if (FRevision == 0) FRevision = NextRevision();
    return FRevision;
  }

  // Sets the node count: nodes behind N are dropped, new ones are empty
  // (no parent, no children, no word).
  void SetNodeCount(std::uint32_t N);

  // ---- word table ----
  std::uint32_t WordCount() const { return FWordCount; }
  std::uint32_t WordCapacity() const { return FWordCapacity; }
  // Entry W-1 belongs to word number W. REQUIRES: Index < WordCapacity().
  TWordEntry& Entry(std::uint32_t Index);
  const TWordEntry& Entry(std::uint32_t Index) const;
  // Sets the capacity; existing entries up to the new capacity stay, new ones are zero.
  // REQUIRES: N >= WordCount(), N <= kMaxWordCapacity.
  void SetWordCapacity(std::uint32_t N);
  // REQUIRES: N <= WordCapacity().
  void SetWordCount(std::uint32_t N) {
    FWordCount = N;
    Touch();
  }

  // ---- removal ----
  // Clears node I's word mark and, if it has no children, removes it and every
  // ancestor that is then left with neither word nor child (never the root);
  // the surviving ancestor loses the link. Appends the removed indices to Removed.
  // Returns the last node the walk stood on.
  std::uint32_t RemoveWordPath(std::uint32_t I, std::vector<std::uint32_t>& Removed);
  // Closes up the node list after RemoveWordPath: the last nodes move into the
  // freed indices and every reference to a moved node is rewritten (its
  // parent's child entry, its children's parents, its word's table entry).
  // When a moved node is missing from its parent's children, Corrupt is called
  // and that parent entry stays as it was.
  void CloseUp(std::vector<std::uint32_t> Removed, const std::function<void()>& Corrupt);

  // Frees everything: no nodes, no word table.
  void Clear();

  // Bytes allocated for the structure (for size measurements).
  std::size_t AllocatedBytes() const;

 private:
  // What a walk reads. With ChildCount 1 the child is inline (OnlyLetter,
  // Child); with 2 or more, Child is the pool offset of a block of capacity
  // 2^BlockClass: ceil(capacity / 4) words of letters, then capacity words of
  // node indices.
  struct NavNode {
    std::uint32_t Child = 0;
    std::uint8_t Letter = 0;
    std::uint8_t ChildCount = 0;
    std::uint8_t OnlyLetter = 0;
    std::uint8_t BlockClass = 0;
  };
  static_assert(sizeof(NavNode) == 8);
  // What a walk does not read.
  struct NodeLinks {
    std::int32_t Parent = -1;
    std::uint32_t WordNumber = 0;
  };

  static constexpr int kBlockClasses = 9;  // capacities 2^1 .. 2^8

  // Item I of one of the node arrays, or the index error.
  template <typename Array>
  static auto& Checked(Array& Items, std::uint32_t I) {
    if (I >= Items.size()) NodeIndexError(I);
    return Items[I];
  }
  NavNode& At(std::uint32_t I) { return Checked(FNav, I); }
  const NavNode& At(std::uint32_t I) const { return Checked(FNav, I); }
  NodeLinks& Links(std::uint32_t I) { return Checked(FLinks, I); }
  const NodeLinks& Links(std::uint32_t I) const { return Checked(FLinks, I); }
  [[noreturn]] static void NodeIndexError(std::uint32_t I);
  void Touch() { FRevision = 0; }
  static std::uint64_t NextRevision();

  // The position of C among the first Count letters, or -1. Compares eight
  // letters at a time, without a branch per letter: a letter is found by
  // where a byte of (letters XOR C) is zero. REQUIRES: the 8-byte groups
  // covering Count lie inside the pool (a block's index words follow its
  // letters, and Count >= 2 means at least 4 + 8 bytes of block).
  static int FindLetter(const std::uint8_t* Letters, std::uint32_t Count, std::uint8_t C) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    for (std::uint32_t base = 0; base < Count; base += 8) {
      std::uint64_t group;
      std::memcpy(&group, Letters + base, sizeof group);  // little-endian: byte k is letter base+k
      const std::uint64_t x = group ^ (kOnes * C);
      const std::uint64_t zero = (x - kOnes) & ~x & kHighs;  // lowest set bit marks the first match
      if (zero != 0) {
        const std::uint32_t k = base + static_cast<std::uint32_t>(std::countr_zero(zero)) / 8;
        return k < Count ? static_cast<int>(k) : -1;
      }
    }
    return -1;
  }

  static std::uint32_t LetterWords(std::uint32_t Capacity) { return (Capacity + 3) / 4; }
  // Blocks of this class and up (32 children or more: the root and the first
  // levels of a large dictionary) end with a 256-byte map from a letter to
  // its position + 1 (0: no such child), so that a step costs no scan.
  static constexpr std::uint8_t kMappedClass = 5;
  static std::uint32_t BlockWords(std::uint8_t Class) {
    return LetterWords(1u << Class) + (1u << Class) + (Class >= kMappedClass ? 64 : 0);
  }
  std::uint8_t* BlockMap(std::uint32_t Offset, std::uint8_t Class) {
    return reinterpret_cast<std::uint8_t*>(BlockIndices(Offset, Class) + (1u << Class));
  }
  const std::uint8_t* BlockMap(std::uint32_t Offset, std::uint8_t Class) const {
    return reinterpret_cast<const std::uint8_t*>(BlockIndices(Offset, Class) + (1u << Class));
  }
  // Rebuilds the letter map of node N's block, if it has one.
  void RebuildMap(const NavNode& N);
  std::uint8_t* BlockLetters(std::uint32_t Offset) {
    return reinterpret_cast<std::uint8_t*>(FPool.data() + Offset);
  }
  const std::uint8_t* BlockLetters(std::uint32_t Offset) const {
    return reinterpret_cast<const std::uint8_t*>(FPool.data() + Offset);
  }
  std::uint32_t* BlockIndices(std::uint32_t Offset, std::uint8_t Class) {
    return FPool.data() + Offset + LetterWords(1u << Class);
  }
  const std::uint32_t* BlockIndices(std::uint32_t Offset, std::uint8_t Class) const {
    return FPool.data() + Offset + LetterWords(1u << Class);
  }
  std::uint32_t AllocBlock(std::uint8_t Class);
  void FreeBlock(NavNode& N);
  // Gives node N room for Count children, keeping the existing ones.
  void ReserveChildren(NavNode& N, std::uint32_t Count);
  // Removes the child link with index Child from node I.
  void RemoveChildLink(std::uint32_t I, std::uint32_t Child);
  // Rewrites the entry of Parent's child From (found by Letter) to To.
  bool RelinkChild(std::uint32_t Parent, std::uint8_t Letter, std::uint32_t From, std::uint32_t To);

  std::vector<NavNode> FNav;
  std::vector<NodeLinks> FLinks;  // parallel to FNav
  std::vector<std::uint32_t> FPool;
  std::array<std::vector<std::uint32_t>, kBlockClasses> FFreeBlocks;
  std::vector<TWordEntry> FWordTable;  // WordCapacity() entries in use
  std::uint32_t FWordCount = 0;
  std::uint32_t FWordCapacity = 0;
  mutable std::uint64_t FRevision = 0;  // 0: changed since Revision() last drew one
};

template <typename F>
void WordTrie::ForEachChild(std::uint32_t I, F&& f) const {
  const NavNode& n = At(I);
  if (n.ChildCount == 1) {
    f(n.OnlyLetter, n.Child);
  } else if (n.ChildCount > 1) {
    const std::uint8_t* letters = BlockLetters(n.Child);
    const std::uint32_t* indices = BlockIndices(n.Child, n.BlockClass);
    for (std::uint32_t k = 0; k < n.ChildCount; ++k) f(letters[k], indices[k]);
  }
}

}  // namespace wordloom::detail
