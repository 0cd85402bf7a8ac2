// The word trie and the word table of a dictionary, stored for speed and size:
// nodes by value in one vector (16 bytes each); a node with one child keeps it
// inline, a node with more keeps its children's letters and indices together in
// one block of a shared pool, so that a step down the trie touches one or two
// cache lines. The dictionary component adds the reporting and the policy.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
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
  std::uint32_t NodeCount() const { return static_cast<std::uint32_t>(FNodes.size()); }
  // Appends a node as described (children given by index, not created).
  // Returns its index.
  std::uint32_t AppendNode(const TSpellNode& Node);
  // A copy of node I. REQUIRES: I < NodeCount() (EListError otherwise).
  TSpellNode Node(std::uint32_t I) const;
  std::int32_t Parent(std::uint32_t I) const { return At(I).Parent; }
  std::uint8_t Letter(std::uint32_t I) const { return At(I).Letter; }
  std::uint8_t ChildCount(std::uint32_t I) const { return At(I).ChildCount; }
  std::uint32_t WordNumber(std::uint32_t I) const { return At(I).WordNumber; }
  void SetWordNumber(std::uint32_t I, std::uint32_t W) { At(I).WordNumber = W; }
  void SetParent(std::uint32_t I, std::int32_t P) { At(I).Parent = P; }

  // The child of node I reached by C (the first such child), or -1.
  std::int32_t FindChild(std::uint32_t I, std::uint8_t C) const;
  // Creates a child of node I for C, after its other children; returns its index.
  // Raises EIntOverflow, changing nothing, when node I has 255 children.
  std::uint32_t AddChild(std::uint32_t I, std::uint8_t C);
  // Calls F(letter, index) for each child of node I in creation order.
  template <typename F>
  void ForEachChild(std::uint32_t I, F&& f) const;

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
  void SetWordCount(std::uint32_t N) { FWordCount = N; }

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
  // A node with ChildCount 1 holds its child inline (OnlyLetter, Child); with 2
  // or more, Child is the pool offset of a block of capacity 2^BlockClass:
  // ceil(capacity / 4) words of letters, then capacity words of node indices.
  struct PackedNode {
    std::int32_t Parent = -1;
    std::uint32_t WordNumber = 0;
    std::uint32_t Child = 0;
    std::uint8_t Letter = 0;
    std::uint8_t ChildCount = 0;
    std::uint8_t OnlyLetter = 0;
    std::uint8_t BlockClass = 0;
  };
  static_assert(sizeof(PackedNode) == 16);

  static constexpr int kBlockClasses = 9;  // capacities 2^1 .. 2^8

  PackedNode& At(std::uint32_t I);
  const PackedNode& At(std::uint32_t I) const;

  static std::uint32_t LetterWords(std::uint32_t Capacity) { return (Capacity + 3) / 4; }
  static std::uint32_t BlockWords(std::uint8_t Class) {
    return LetterWords(1u << Class) + (1u << Class);
  }
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
  void FreeBlock(PackedNode& N);
  // Gives node N room for Count children, keeping the existing ones.
  void ReserveChildren(PackedNode& N, std::uint32_t Count);
  // Removes the child link with index Child from node I.
  void RemoveChildLink(std::uint32_t I, std::uint32_t Child);
  // Rewrites the entry of Parent's child From (found by Letter) to To.
  bool RelinkChild(std::uint32_t Parent, std::uint8_t Letter, std::uint32_t From, std::uint32_t To);

  std::vector<PackedNode> FNodes;
  std::vector<std::uint32_t> FPool;
  std::array<std::vector<std::uint32_t>, kBlockClasses> FFreeBlocks;
  std::vector<TWordEntry> FWordTable;  // WordCapacity() entries in use
  std::uint32_t FWordCount = 0;
  std::uint32_t FWordCapacity = 0;
};

template <typename F>
void WordTrie::ForEachChild(std::uint32_t I, F&& f) const {
  const PackedNode& n = At(I);
  if (n.ChildCount == 1) {
    f(n.OnlyLetter, n.Child);
  } else if (n.ChildCount > 1) {
    const std::uint8_t* letters = BlockLetters(n.Child);
    const std::uint32_t* indices = BlockIndices(n.Child, n.BlockClass);
    for (std::uint32_t k = 0; k < n.ChildCount; ++k) f(letters[k], indices[k]);
  }
}

}  // namespace wordloom::detail
