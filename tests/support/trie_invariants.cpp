#include "support/trie_invariants.h"

#include <cstdint>
#include <vector>

namespace wordloom::testing_support {

::testing::AssertionResult TrieInvariantsHold(const TVelkWordloom& dict, bool AllowDeadEnds) {
  const std::uint32_t n = dict.GetNodeCount();
  const std::uint32_t words = dict.WordCount();
  if (dict.WordCapacity() < words) return ::testing::AssertionFailure() << "capacity below count";
  if (n == 0) {
    if (words != 0) return ::testing::AssertionFailure() << "words without a root";
    return ::testing::AssertionSuccess();
  }
  std::vector<TSpellNode> nodes;
  nodes.reserve(n);
  for (std::uint32_t i = 0; i < n; ++i) nodes.push_back(dict.SpellNode(i));
  if (nodes[0].Parent != -1 || nodes[0].Letter != 0) {
    return ::testing::AssertionFailure() << "node 0 is no root";
  }
  if (nodes[0].WordNumber != 0) {
    return ::testing::AssertionFailure()
           << "the root carries a word (the empty word cannot be added)";
  }
  std::vector<int> references(n, 0);
  std::uint32_t marked = 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    const TSpellNode& node = nodes[i];
    if (node.ChildLetters.size() != node.ChildCount || node.Children.size() != node.ChildCount) {
      return ::testing::AssertionFailure() << "node " << i << ": child count disagrees";
    }
    for (std::size_t k = 0; k < node.ChildCount; ++k) {
      const std::int32_t c = node.Children[k];
      if (c <= 0 || static_cast<std::uint32_t>(c) >= n) {
        return ::testing::AssertionFailure() << "node " << i << ": child index " << c;
      }
      if (node.ChildLetters.find(node.ChildLetters[k], k + 1) != std::string::npos) {
        return ::testing::AssertionFailure() << "node " << i << ": repeated child letter";
      }
      if (nodes[c].Parent != static_cast<std::int32_t>(i) ||
          nodes[c].Letter != static_cast<std::uint8_t>(node.ChildLetters[k])) {
        return ::testing::AssertionFailure() << "node " << c << ": parent or letter wrong";
      }
      ++references[c];
    }
    if (node.WordNumber != 0) {
      ++marked;
      if (node.WordNumber > words ||
          dict.WordTableEntry(node.WordNumber - 1).Node != static_cast<std::int32_t>(i)) {
        return ::testing::AssertionFailure()
               << "node " << i << ": word " << node.WordNumber << " not named by its entry";
      }
    } else if (!AllowDeadEnds && i != 0 && node.ChildCount == 0) {
      return ::testing::AssertionFailure() << "node " << i << " leads to no word";
    }
  }
  for (std::uint32_t i = 1; i < n; ++i) {
    if (references[i] != 1) {
      return ::testing::AssertionFailure()
             << "node " << i << " is the child of " << references[i] << " nodes";
    }
  }
  // Each node linked once can still hang in a cycle apart from the root: walk
  // down from the root (a tree now, so the walk ends) and count what it reaches.
  std::uint32_t reached = 0;
  std::vector<std::int32_t> pending = {0};
  while (!pending.empty()) {
    const TSpellNode& node = nodes[static_cast<std::size_t>(pending.back())];
    pending.pop_back();
    ++reached;
    pending.insert(pending.end(), node.Children.begin(), node.Children.end());
  }
  if (reached != n) {
    return ::testing::AssertionFailure() << n - reached << " nodes are not reachable from the root";
  }
  if (marked != words) {
    return ::testing::AssertionFailure() << marked << " nodes carry words, WordCount " << words;
  }
  for (std::uint32_t w = 1; w <= words; ++w) {
    const std::int32_t node = dict.WordTableEntry(w - 1).Node;
    if (node < 0 || static_cast<std::uint32_t>(node) >= n || nodes[node].WordNumber != w) {
      return ::testing::AssertionFailure() << "entry " << w << " names node " << node;
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace wordloom::testing_support
