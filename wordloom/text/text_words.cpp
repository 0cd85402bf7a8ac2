#include "wordloom/text/text_words.h"

#include <cstdint>

namespace wordloom {

std::vector<TextWord> WordsOfText(TVelkWordloom& Dict, std::string_view Text) {
  std::vector<TextWord> words;
  // The counters belong to whatever pass the dictionary may be in (a check
  // whose memo change redraws the marks of a highlighter, say).
  struct RestoreCounters {
    TVelkWordloom& Dict;
    std::uint32_t Read;
    std::uint32_t ToRead;
    ~RestoreCounters() {
      Dict.SetCharsRead(Read);
      Dict.SetCharsToRead(ToRead);
    }
  } restore{Dict, Dict.CharsRead(), Dict.CharsToRead()};
  std::size_t next = 0;
  const TReadCharMethod read = [&next, Text](char& c) {
    c = next < Text.size() ? Text[next] : '\0';
    ++next;
  };
  const TCharSet delimiters = Dict.GetDelimiters();
  Dict.SetCharsRead(0);
  Dict.SetCharsToRead(static_cast<std::uint32_t>(Text.size()));
  while (Dict.CharsRead() < Dict.CharsToRead()) {
    const std::size_t before = Dict.CharsRead();
    const std::unique_ptr<TByteString> word = Dict.ExtractTextBlock(read);
    if (word->Size() == 0) continue;
    TextWord w;
    w.Start = before + Dict.PrecedingDelimiters().Size();
    w.Span = Dict.CharsRead() - Dict.SucceedingDelimiter().Size() - w.Start;
    w.Length = w.Span;
    if (Dict.DelimiterOption() == wldInclFirstSucc && w.Span > 0 &&
        delimiters.Contains(static_cast<std::uint8_t>(Text[w.Start + w.Span - 1]))) {
      --w.Length;
    }
    w.Word = word->GetString();
    words.push_back(std::move(w));
  }
  return words;
}

}  // namespace wordloom
