// Small dictionaries for tests: filled from a list of words, read back as a
// map of words to frequencies.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "wordloom/dictionary/velk_wordloom.h"

namespace wordloom::testing_support {

// Adds each of Words once (a word listed twice counts twice), creating the
// root first when the dictionary has no nodes.
void AddWords(TVelkWordloom& Dict, const std::vector<std::string>& Words);

// Word I (from 0) of a list of different three-letter words, none the
// beginning of another: "aaa", "aab", ... REQUIRES: I < 17576.
std::string ThreeLetterWord(int I);

// Every word of the dictionary with its frequency, read from the word table.
std::map<std::string, std::uint32_t> WordFrequencies(const TVelkWordloom& Dict);

}  // namespace wordloom::testing_support
