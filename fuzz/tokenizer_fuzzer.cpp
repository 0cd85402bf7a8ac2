// Cuts arbitrary text into words. The first byte chooses the delimiter option
// (bit 0), the UTF-8 delimiter set (bit 1) and the format character's token
// (bits 2..4); the rest is the text. Every call consumes at least one
// character; the blocks, each as preceding delimiters, word and succeeding
// delimiter, give back the text with every token written as its replacement;
// no delimiter string holds the token and no word is empty but where allowed; and learning the text adds exactly the
// non-empty words, each as often as the tokenizer returned it. The likelihood
// ranking of suggestions then runs over the learned words and near misses.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;

constexpr std::uint8_t kTokens[] = {0, '\\', '"', ' ', 'a', '\'', 0xFF, '\n'};

void Configure(TVelkWordloom& dict, std::uint8_t choice) {
  dict.SetDelimiterOption((choice & 1) != 0 ? wldInclFirstSucc : wldExclFirstSucc);
  if ((choice & 2) != 0) dict.SetDelimiters(Utf8Delimiters());
  dict.FormatChar()->SetToken(kTokens[(choice >> 2) & 7]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 8192) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  TVelkWordloom dict(nullptr);
  Configure(dict, data[0]);
  const bool excl = dict.DelimiterOption() == wldExclFirstSucc;
  const std::uint8_t token = dict.FormatChar()->GetToken();
  const std::string replacement = dict.FormatChar()->GetReplBStr().GetString();
  const TCharSet delimiters = dict.GetDelimiters();

  std::string expected;
  for (char c : text) {
    if (static_cast<std::uint8_t>(c) == token) {
      expected += replacement;
    } else {
      expected += c;
    }
  }

  std::size_t next = 0;
  dict.SetCharsToRead(static_cast<std::uint32_t>(text.size()));
  dict.SetCharsRead(0);
  const TReadCharMethod read = [&](char& c) {
    if (next >= text.size()) std::abort();  // read beyond the input
    c = text[next++];
  };
  std::string rebuilt;
  std::map<std::string, std::uint32_t> words;
  while (dict.CharsRead() < dict.CharsToRead()) {
    const std::uint32_t before = dict.CharsRead();
    const std::string word = dict.ExtractTextBlock(read)->GetString();
    if (dict.CharsRead() <= before || dict.CharsRead() != next) std::abort();
    const std::string pre = dict.PrecedingDelimiters().GetString();
    const std::string succ = dict.SucceedingDelimiter().GetString();
    for (char c : pre + succ) {
      if (!delimiters.Contains(c)) std::abort();
    }
    if (succ.size() > 1 || (!excl && !succ.empty())) std::abort();
    // A word is empty only at the end of the input in Excl mode, or when it
    // was made of tokens without a replacement.
    const bool at_end = dict.CharsRead() == dict.CharsToRead();
    if (word.empty() && !(excl && at_end) && !replacement.empty()) std::abort();
    if (word.find(static_cast<char>(token)) != std::string::npos) std::abort();
    rebuilt += pre + word + succ;
    if (!word.empty()) ++words[word];
  }
  if (dict.CharsRead() != text.size() || rebuilt != expected) std::abort();

  TVelkWordloom learner(nullptr);
  Configure(learner, data[0]);
  TMemoryStream stream(text);
  learner.AddStreamToSpell(stream);
  if (learner.WordCount() != words.size()) std::abort();
  for (const auto& [word, count] : words) {
    if (learner.Frequency(word) != count) std::abort();
  }

  // The likelihood ranking over what was learned: within the limit, each word
  // once (case ignored), and a dictionary word first for itself.
  TVelkSpellChecker checker(nullptr);
  Configure(checker, data[0]);
  TMemoryStream again(text);
  checker.AddStreamToSpell(again);
  checker.SetSuggestionRanking(srkLikelihood);
  checker.SetSuggestionLimit(8);
  std::size_t tried = 0;
  for (const auto& [word, count] : words) {
    if (++tried > 16) break;
    for (const std::string& typo : {word.substr(1), word + word.substr(0, 1), word}) {
      checker.Suggest(typo);
      const TStringList& found = checker.Suggestions();
      if (found.Count() > 8) std::abort();
      std::set<std::string> seen;
      for (const std::string& s : found) {
        std::string folded = s;
        for (char& c : folded) {
          if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        }
        if (!seen.insert(folded).second) std::abort();
      }
    }
    if (word.size() <= 48 && (checker.Suggestions().Count() == 0 || checker.Suggestions()[0] != word)) {
      std::abort();
    }
  }
  return 0;
}
