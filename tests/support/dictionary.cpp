#include "support/dictionary.h"

namespace wordloom::testing_support {

void AddWords(TVelkWordloom& Dict, const std::vector<std::string>& Words) {
  if (Dict.NodeCount() == 0) Dict.InitFirstSpellNode();
  for (const std::string& w : Words) Dict.AddToSpell(w);
}

std::string ThreeLetterWord(int I) {
  return {static_cast<char>('a' + I / 676), static_cast<char>('a' + I / 26 % 26),
          static_cast<char>('a' + I % 26)};
}

std::map<std::string, std::uint32_t> WordFrequencies(const TVelkWordloom& Dict) {
  std::map<std::string, std::uint32_t> words;
  for (std::uint32_t i = 0; i < Dict.WordCount(); ++i) {
    const TWordEntry e = Dict.WordTableEntry(i);
    words[Dict.ExtractSpellWord(static_cast<std::uint32_t>(e.Node))] = e.Frequency;
  }
  return words;
}

}  // namespace wordloom::testing_support
