// The word lines of a Hunspell .dic: "word/flags morphology", after a first
// line that holds the number of words (read, never trusted).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "affix_rules.h"

namespace wordloom::detail {

// What the reader counted while passing over lines.
struct DicCounts {
  std::size_t Entries = 0;
  std::size_t Skipped = 0;
};

// Calls Entry with each word (UTF-8, IGNORE characters removed) and its
// flags. Lines not in the encoding, and phrases (words with a space), are
// counted as skipped and reported to Warn. EImportError when the first line
// is no word count.
DicCounts ForEachDicEntry(std::string_view Dic, const std::string& Name, AffixRules& Rules,
                          const std::function<void(const std::string&)>& Warn,
                          const std::function<void(const std::string& Word, const FlagSet& Flags)>& Entry);

// The number of lines of Dic: the total a progress report counts to.
std::size_t CountLines(std::string_view Dic);

}  // namespace wordloom::detail
