// Builds the default English dictionary of the wordloom tool at build time:
//   make_default_dictionary WORDS COUNTS OUT
// WORDS: one word a line (the system word list); possessives ending in 's are
// left out. COUNTS: word<TAB>count lines, lower-case, counted in a public
// domain corpus. Every word of WORDS is added once, plus count - 1 times when
// the corpus counted it (under its own spelling, or its lower-case one when
// the word list has no lower-case entry of its own), so that suggestions of
// equal distance come most frequent first. Words only the corpus has are not
// added: a corpus has typos, the word list has none.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <wordloom/wordloom.h>

namespace {

std::string Lower(std::string w) {
  for (char& c : w) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return w;
}

bool ReadLines(const char* file, std::vector<std::string>& lines) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: make_default_dictionary WORDS COUNTS OUT\n";
    return 2;
  }
  std::vector<std::string> words;
  std::vector<std::string> count_lines;
  if (!ReadLines(argv[1], words)) {
    std::cerr << "make_default_dictionary: cannot read " << argv[1] << '\n';
    return 2;
  }
  if (!ReadLines(argv[2], count_lines)) {
    std::cerr << "make_default_dictionary: cannot read " << argv[2] << '\n';
    return 2;
  }
  std::unordered_map<std::string, std::uint32_t> counts;
  for (const std::string& line : count_lines) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    counts[line.substr(0, tab)] = static_cast<std::uint32_t>(std::stoul(line.substr(tab + 1)));
  }
  std::unordered_set<std::string> listed(words.begin(), words.end());

  try {
    wordloom::TVelkWordloom dict(nullptr);
    dict.SetSpellFileOptions({});
    dict.SetDelimiterOption(wordloom::wldExclFirstSucc);
    dict.SetDelimiters(wordloom::Utf8Delimiters());
    dict.InitFirstSpellNode();
    for (const std::string& word : words) {
      if (word.size() >= 2 && word.compare(word.size() - 2, 2, "'s") == 0) continue;
      dict.AddToSpell(word);
      const std::string lower = Lower(word);
      if (lower != word && listed.count(lower) != 0) continue;  // the lower-case entry counts
      const auto it = counts.find(lower);
      if (it == counts.end()) continue;
      for (std::uint32_t i = 1; i < it->second; ++i) dict.AddToSpell(word);
    }
    dict.SaveSpellFile(argv[3], false);
    std::cout << "make_default_dictionary: " << dict.WordCount() << " words, "
              << dict.GetNodeCount() << " nodes\n";
  } catch (const std::exception& e) {
    std::cerr << "make_default_dictionary: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
