// The tokenizer's algorithm, shared by the passes that cut text into words:
// learning, encoding and the memo check. A template over the character
// source, so that a pass over a stream reads the buffer inline instead of
// calling through a method pointer per byte.
#pragma once

#include <algorithm>
#include <cstdint>

#include "wordloom/dictionary/velk_wordloom.h"

namespace wordloom {

namespace detail {

// A progress value: the display counts in int.
inline int ProgressValue(std::uint32_t Value) {
  return static_cast<int>(std::min<std::uint32_t>(Value, INT32_MAX));
}

// Ends a pass over a stream however it leaves: the progress display is hidden
// (also after an error) and the component lets go of the stream.
struct PassGuard {
  ProgressDisplay& Display;
  TStream*& Stream;
  ~PassGuard() {
    Display.Hide();
    Stream = nullptr;
  }
};

}  // namespace detail

inline void TVelkWordloom::AppendWordChar(TByteString& Word, std::uint8_t C) {
  if (C == FFormatChar.GetToken()) {
    // The token never enters a word: its replacement stands for it.
    Word.Append(FFormatChar.GetReplBStr());
  } else {
    Word.AppendChar(C);
  }
}

template <typename Source>
void TVelkWordloom::ExtractTextBlockFrom(TByteString& Word, Source&& Next) {
  // The effective delimiters once per word: a change of DefDelimiters between
  // two words takes effect, and the token is never among them.
  const TCharSet delimiters = GetDelimiters();
  // Start with an empty word and no delimiters.
  Word.SetSize(0);
  FPrecedingDelimiters.SetSize(0);
  FSucceedingDelimiter.SetSize(0);
  // Skip delimiters; at the end of the input the last character is taken
  // unclassified.
  std::uint8_t c = Next();
  ++FCharsRead;
  while (FCharsRead < FCharsToRead && delimiters.Contains(c)) {
    FPrecedingDelimiters.AppendChar(c);
    c = Next();
    ++FCharsRead;
  }
  if (FDelimiterOption == wldExclFirstSucc) {
    // The word without its succeeding delimiter.
    while (true) {
      if (delimiters.Contains(c)) {
        FSucceedingDelimiter.AppendChar(c);
        break;
      }
      AppendWordChar(Word, c);
      if (FCharsRead >= FCharsToRead) break;
      c = Next();
      ++FCharsRead;
    }
  } else {
    // The word with its first succeeding delimiter, whatever the first
    // character is.
    AppendWordChar(Word, c);
    while (FCharsRead < FCharsToRead && !delimiters.Contains(c)) {
      c = Next();
      AppendWordChar(Word, c);
      ++FCharsRead;
    }
  }
}

}  // namespace wordloom
