// Asks the spelling frameworks' speller (integrations/common) about arbitrary
// words, as Enchant and Sonnet hand them over: the input is cut at each NUL
// byte into words, and each is checked, corrected, and accepted for the
// session or (every fourth) as a personal word. Whatever the bytes, a word
// that passes has no corrections, there are never more than asked for, each
// keeps the bytes around the corrected word, and an accepted single word
// passes from then on.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "language_speller.h"
#include "support/scratch_folder.h"
#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;

constexpr std::size_t kLimit = 5;
constexpr const char* kWords[] = {"the",   "cat",         "sat",  "on",      "mat",     "Paris",
                                  "don't", "caf\xC3\xA9", "NASA", "receive", "believe", "e-mail",
                                  "a"};

const std::string& DictionaryFile() {
  static const ScratchFolder folder;
  static const std::string file = [] {
    const std::string f = folder.File("en.spl");
    TVelkWordloom dict(nullptr);
    dict.SetDelimiterOption(wldExclFirstSucc);
    dict.SetDelimiters(Utf8Delimiters());
    dict.InitFirstSpellNode();
    for (const char* w : kWords) dict.AddToSpell(std::string(w));
    dict.SaveSpellFile(f, false);
    return f;
  }();
  return file;
}

// Whether Word is one word as the speller sees it, the whole of it.
bool IsOneWord(std::string_view word) {
  const std::vector<UnicodeWord> words = FindProseWords(word, MarkupMode::kPlain);
  return words.size() == 1 && words[0].Offset == 0 && words[0].Length == word.size() &&
         words[0].Lookup == word;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1024) return 0;
  integrations::LanguageSpeller speller("en", DictionaryFile(), "");
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0, n = 0;
  while (start <= input.size()) {
    const std::size_t end = std::min(input.find('\0', start), input.size());
    const std::string_view word = input.substr(start, end - start);
    start = end + 1;
    const bool correct = speller.IsCorrect(word);
    const std::vector<std::string> corrections = speller.Suggest(word, kLimit);
    if (correct && !corrections.empty()) std::abort();
    if (corrections.size() > kLimit) std::abort();
    for (const std::string& c : corrections) {
      if (c.empty()) std::abort();
    }
    if (n++ % 4 == 3) {
      speller.AddToPersonal(word);
    } else {
      speller.AddToSession(word);
    }
    // A single word is known once accepted (the dictionary's format
    // character, 0, cannot be in one).
    if (IsOneWord(word) && !speller.IsCorrect(word)) std::abort();
  }
  return 0;
}
