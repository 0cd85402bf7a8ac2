// The suggestion search: a depth-first walk of the word trie that builds each
// candidate letter by letter along existing edges, within four budgets of
// deviations (deleted, inserted, substituted and appended letters). The walk
// keeps its state in the checker's fields, changing them on the way down and
// restoring them on the way back.
#include <cstdio>

#include "dictionary/word_trie.h"
#include "wordloom/checking/velk_spell_checker.h"

namespace wordloom {

namespace {

// A sort key: 8 upper-case hexadecimal digits.
std::string HexKey(std::uint32_t v) {
  char key[9];
  std::snprintf(key, sizeof key, "%08X", v);
  return key;
}

bool IsKeyed(TSortMethod m) { return m == scpFrequency || m == scpDeviation; }

}  // namespace

void TVelkSpellChecker::Suggest(const std::string& AWord) {
  FSuggestions.Clear();
  // 1.-3.
  FCurrentNode = 0;
  FAppendLeft = FMaxDevAppend;
  FDeleteLeft = FMaxDevDelete;
  FInsertLeft = FMaxDevInsert;
  FSubstituteLeft = FMaxDevSubstitute;
  FWordPos = 0;
  FCandPos = 0;
  FWord = AWord;
  FCandidate.assign(AWord.size() + FAppendLeft + FInsertLeft, ' ');
  FFoundList.Clear();
  FFoundList.SetSorted(true);
  FFoundList.SetDuplicates(dupIgnore);
  // 4.
  if (GetNodeCount() > 0) MakeSuggestion();
  // 5. Sort by the keys, then drop them.
  if (FSortMethod1 != scpNone && FSuggestions.Count() > 0) {
    FSuggestions.Sort();
    if (IsKeyed(FSortMethod1)) {
      const std::size_t key = IsKeyed(FSortMethod2) ? 16 : 8;
      TStringList plain;
      for (const std::string& s : FSuggestions) plain.Add(s.substr(key));
      FSuggestions.Clear();
      for (const std::string& s : plain) FSuggestions.Add(s);
    }
  }
  // Cut to the limit after sorting: the best stay.
  if (FSuggestionLimit != 0) {
    while (static_cast<std::uint32_t>(FSuggestions.Count()) > FSuggestionLimit) {
      FSuggestions.Delete(FSuggestions.Count() - 1);
    }
  }
}

void TVelkSpellChecker::MakeSuggestion() {
  const detail::WordTrie& trie = *FNodeList;
  // 1.-2.
  const auto node = static_cast<std::uint32_t>(FCurrentNode);
  ++FWordPos;
  ++FCandPos;
  if (FCandidate.size() < FCandPos) FCandidate.resize(FCandPos + 8, ' ');
  const std::uint32_t length = static_cast<std::uint32_t>(FWord.size());
  // 3. Accept; characters left at the end of the word are dropped freely up
  // to the deletions still allowed.
  if (trie.WordNumber(node) != 0 && length < FWordPos + FDeleteLeft) AddCurrSuggestion();
  // 4.
  const std::uint32_t count = trie.ChildCount(node);
  if (count > 0) {
    std::uint8_t letters[255];
    std::uint32_t children[255];
    std::uint32_t k = 0;
    trie.ForEachChild(node, [&](std::uint8_t letter, std::uint32_t child) {
      letters[k] = letter;
      children[k] = child;
      ++k;
    });
    // 5. Look ahead in the word: 1-based positions among the child letters.
    auto position = [&](char c) -> std::uint32_t {
      for (std::uint32_t i = 0; i < count; ++i) {
        if (letters[i] == static_cast<std::uint8_t>(c)) return i + 1;
      }
      return 0;
    };
    std::uint32_t pos_a = 0;
    std::uint32_t pos_b = 0;
    if (FWordPos <= length) {
      pos_a = position(FWord[FWordPos - 1]);
      if (FWordPos < length) pos_b = position(FWord[FWordPos]);
    }
    auto descend = [&](std::uint32_t child) {
      FCurrentNode = static_cast<std::int32_t>(child);
      MakeSuggestion();
      FCurrentNode = static_cast<std::int32_t>(node);
    };
    // 6. Each child by the first rule that fits.
    for (std::uint32_t i = 1; i <= count; ++i) {
      const char letter = static_cast<char>(letters[i - 1]);
      const std::uint32_t child = children[i - 1];
      if (i == pos_a) {  // match
        FCandidate[FCandPos - 1] = FWord[FWordPos - 1];
        descend(child);
      } else if (i == pos_b && FDeleteLeft > 0) {  // delete the current character
        ++FWordPos;
        --FDeleteLeft;
        FCandidate[FCandPos - 1] = FWord[FWordPos - 1];
        descend(child);
        --FWordPos;
        ++FDeleteLeft;
      } else if (FInsertLeft > 0 && FWordPos <= length) {  // insert before it
        --FWordPos;
        --FInsertLeft;
        FCandidate[FCandPos - 1] = letter;
        descend(child);
        ++FWordPos;
        ++FInsertLeft;
      } else if (FSubstituteLeft > 0 && pos_a == 0 && FWordPos <= length) {  // substitute it
        --FSubstituteLeft;
        FCandidate[FCandPos - 1] = letter;
        descend(child);
        ++FSubstituteLeft;
      } else if (FAppendLeft > 0 && FWordPos > length) {  // append after the word
        --FAppendLeft;
        FCandidate[FCandPos - 1] = letter;
        descend(child);
        ++FAppendLeft;
      }
    }
  }
  // 7.
  --FWordPos;
  --FCandPos;
}

void TVelkSpellChecker::AddCurrSuggestion() {
  // 1.-2. The first form of a word found (ignoring case) stays.
  std::string w = FCandidate.substr(0, FCandPos - 1);
  int at = 0;
  if (FFoundList.Find(w, at)) return;
  FFoundList.Add(w);
  // 3.-4.
  if (!IsKeyed(FSortMethod1)) {
    FSuggestions.Add(w);
    return;
  }
  auto key = [this](TSortMethod m) {
    if (m == scpFrequency) {
      const std::uint32_t number = FNodeList->WordNumber(static_cast<std::uint32_t>(FCurrentNode));
      return HexKey(FNodeList->Entry(number - 1).Frequency);
    }
    const std::uint32_t budget = FMaxDevAppend + FMaxDevDelete + FMaxDevInsert + FMaxDevSubstitute;
    const std::uint32_t left = FAppendLeft + FDeleteLeft + FInsertLeft + FSubstituteLeft;
    return HexKey(budget - left);
  };
  std::string entry = key(FSortMethod1);
  if (IsKeyed(FSortMethod2)) entry += key(FSortMethod2);
  FSuggestions.Add(entry + w);
}

}  // namespace wordloom
