// Walks a dictionary's whole trie and word table through the public API and
// checks that they agree: use EXPECT_TRUE(TrieInvariantsHold(dict)) after every
// change to the trie.
#pragma once

#include <gtest/gtest.h>

#include "wordloom/dictionary/velk_wordloom.h"

namespace wordloom::testing_support {

// With AllowDeadEnds false, every node but the root must lead to a word: a
// leaf without a word is a node that a removal should have taken away.
::testing::AssertionResult TrieInvariantsHold(const TVelkWordloom& dict,
                                              bool AllowDeadEnds = false);

}  // namespace wordloom::testing_support
