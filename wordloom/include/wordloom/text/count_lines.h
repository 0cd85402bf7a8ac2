// The lines of a counts file: "word<TAB>count", as `wordloom count` prints
// them and `learn --counts` and the Hunspell import read them.
//
//   ForEachCountLine(data, [&](const CountLine& l) { add(l.Word, l.Count); });
#pragma once

#pragma GCC visibility push(default)

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "wordloom/platform/exceptions.h"

namespace wordloom {

struct CountLine {
  std::size_t Number;     // the line's number, from 1
  std::string_view Word;  // never empty
  std::uint64_t Count;    // at least 1
};

// Calls Each for every line of Data that is not empty (a line may end in
// CR LF). EConvertError "N: expected word<TAB>count" for a line without a
// word and a tab, "N: the count must be a whole number from 1 to
// 18446744073709551615" for any other count; N is the line's number.
void ForEachCountLine(std::string_view Data, const std::function<void(const CountLine&)>& Each);

}  // namespace wordloom

#pragma GCC visibility pop
