// Builds a default English dictionary of the wordloom tool at build time
// (en_US from wamerican, en_GB from wbritish):
//   make_default_dictionary WORDS COUNTS OUT [MORE...]
// WORDS: one word a line (the system word list), its contractions ("it's",
// "let's") and possessives ("John's") included. MORE: further word lists
// (data/en-accented.txt), their '#' lines comments, whose words WORDS lacks
// are added as if WORDS had them. COUNTS: word<TAB>count
// lines, lower-case (data/en-frequencies.tsv: counts in a large corpus of
// books). Every word of WORDS gets the frequency 1 plus its count (under
// its own spelling, or its lower-case one when the word list has no
// lower-case entry of its own), counts scaled down evenly
// when the largest would not fit the 3-byte frequencies of a spell file of
// this size, so that the likelihood ranking of suggestions knows which words
// are common. Words only COUNTS has are not added: the word list is the
// authority on spelling.
#include <algorithm>
#include <cstdint>
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
  if (argc < 4) {
    std::cerr << "usage: make_default_dictionary WORDS COUNTS OUT [MORE...]\n";
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
  for (int i = 4; i < argc; ++i) {
    std::vector<std::string> more;
    if (!ReadLines(argv[i], more)) {
      std::cerr << "make_default_dictionary: cannot read " << argv[i] << '\n';
      return 2;
    }
    const std::unordered_set<std::string> have(words.begin(), words.end());
    for (std::string& w : more) {
      if (w.front() != '#' && have.count(w) == 0) words.push_back(std::move(w));
    }
  }
  std::unordered_map<std::string, std::uint64_t> counts;
  std::uint64_t largest = 0;
  for (const std::string& line : count_lines) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const std::uint64_t count = std::stoull(line.substr(tab + 1));
    counts[line.substr(0, tab)] = count;
    largest = std::max(largest, count);
  }
  // The largest frequency a spell file of up to 16,777,216 words stores.
  constexpr std::uint64_t kLargestStored = 16'000'000;
  const std::uint64_t scale = std::max<std::uint64_t>(1, (largest + kLargestStored - 1) / kLargestStored);
  std::unordered_set<std::string> listed(words.begin(), words.end());

  try {
    wordloom::TVelkWordloom dict(nullptr);
    dict.SetSpellFileOptions({});
    dict.SetDelimiterOption(wordloom::wldExclFirstSucc);
    dict.SetDelimiters(wordloom::Utf8Delimiters());
    dict.InitFirstSpellNode();
    for (const std::string& word : words) {
      const std::string lower = Lower(word);
      const auto it = counts.find(lower);
      // The lower-case entry of the list takes the count of its spelling.
      const bool counted = it != counts.end() && (lower == word || listed.count(lower) == 0);
      dict.AddToSpell(word, static_cast<std::uint32_t>(1 + (counted ? it->second / scale : 0)));
    }
    dict.SaveSpellFile(argv[3], false);
    // Its compact form beside it: the tool opens and suggests through it.
    dict.SaveCompactForm(std::string(argv[3]) + ".compact");
    std::cout << "make_default_dictionary: " << dict.WordCount() << " words, "
              << dict.GetNodeCount() << " nodes\n";
  } catch (const std::exception& e) {
    std::cerr << "make_default_dictionary: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
