// The width of the counted fields of a spell file (docs/spell-file-format.md):
// node indices are SpellWidth(node count) bytes wide, word frequencies
// SpellWidth(word count) bytes.
//
//   SpellWidth(179116);  // 3: node indices of a 179116-node dictionary
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>

namespace wordloom {

// The fewest bytes that hold N - 1 (1 for N < 2): 1 up to 256, 2 up to 65536,
// 3 up to 16777216, else 4. Exact at the powers of 256.
constexpr std::uint8_t SpellWidth(std::uint32_t N) {
  if (N <= 256u) return 1;
  if (N <= 65536u) return 2;
  if (N <= 16777216u) return 3;
  return 4;
}

}  // namespace wordloom

#pragma GCC visibility pop
