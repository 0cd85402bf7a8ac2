// The words of a text as the dictionary's own tokenizer cuts them (the cut of
// learning and of CheckMemo), with where each stands in the text: for front
// ends that show or check the words of a text themselves.
//
//   for (const TextWord& w : WordsOfText(dict, "the cat, the hat")) {
//     // w.Start, w.Length: "the" at 0, "cat" at 4, ...; w.Word: what to look up
//   }
#pragma once

#pragma GCC visibility push(default)

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "wordloom/dictionary/velk_wordloom.h"

namespace wordloom {

// Whether C continues a UTF-8 sequence (10xxxxxx) rather than starting a
// character: positions shown to people count only the other bytes.
inline bool IsUtf8ContinuationByte(char C) { return (static_cast<unsigned char>(C) & 0xC0) == 0x80; }

// One word of a text.
struct TextWord {
  // The word's bytes in the text: from Start, Length of them, without the
  // delimiter that ends it.
  std::size_t Start = 0;
  std::size_t Length = 0;
  // The bytes the word takes in the text: Length, and one more where the
  // delimiter option (wldInclFirstSucc) makes the delimiter part of it.
  std::size_t Span = 0;
  // The word as the dictionary sees it: the Span bytes, the format
  // character's token written as its replacement.
  std::string Word;
};

// The words of Text, in order, cut with Dict's delimiters, delimiter option
// and format character. Cuts that come out empty (the end of a run of
// delimiters, a lone token without replacement) are left out, as CheckMemo
// passes over them. At the very end of Text the tokenizer takes the last
// byte as it is: with wldInclFirstSucc a delimiter there is a word of its
// own (Length 0, Span 1). Uses Dict's tokenizer and leaves its
// counters (CharsRead, CharsToRead) as they were, so that it may run in the
// middle of a pass; PrecedingDelimiters and SucceedingDelimiter are
// overwritten. REQUIRES: Text.size() <= 4294967295.
std::vector<TextWord> WordsOfText(TVelkWordloom& Dict, std::string_view Text);

}  // namespace wordloom

#pragma GCC visibility pop
