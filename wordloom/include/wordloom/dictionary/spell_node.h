// The records of the word trie and the word table, as the dictionary shows them.
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <string>
#include <vector>

namespace wordloom {

// One node of the word trie. Every word is a path from the root (node 0) down
// through one node per byte; the node of its last byte carries its word number.
struct TSpellNode {
  std::int32_t Parent = -1;      // node index of the parent; -1 for the root
  std::uint8_t Letter = 0;       // the byte leading here from the parent; 0 for the root
  std::uint8_t ChildCount = 0;   // 0 to 255
  std::string ChildLetters;      // ChildCount distinct letters, in creation order
  std::vector<std::int32_t> Children;  // their node indices, parallel to ChildLetters
  std::uint32_t WordNumber = 0;  // 1-based number of the word ending here, or 0
};

// One word table entry; entry w-1 belongs to word number w.
struct TWordEntry {
  std::int32_t Node = 0;        // node index of the word's last byte
  std::uint32_t Frequency = 0;  // how many times the word was added
};

}  // namespace wordloom

#pragma GCC visibility pop
