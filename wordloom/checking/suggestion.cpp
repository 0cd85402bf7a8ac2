// The suggestion search: a depth-first walk of the word trie that builds each
// candidate letter by letter along existing edges, within four budgets of
// deviations (deleted, inserted, substituted and appended letters). The walk
// keeps its state in the checker's fields, changing them on the way down and
// restoring them on the way back.

#include <algorithm>
#include <utility>
#include <vector>

#include "checking/compact_state.h"
#include "checking/likelihood_ranking.h"
#include "dictionary/word_trie.h"
#include "wordloom/checking/velk_spell_checker.h"

namespace wordloom {

namespace {

// A sort key: 8 upper-case hexadecimal digits.
std::string HexKey(std::uint32_t v) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string key(8, '0');
  for (int i = 7; i >= 0; --i, v >>= 4) key[static_cast<std::size_t>(i)] = kDigits[v & 15];
  return key;
}

// W with the letters that sorted lists fold (FoldCase) folded.
std::string Folded(std::string_view w) {
  std::string out(w);
  for (char& c : out) c = static_cast<char>(FoldCase(static_cast<std::uint8_t>(c)));
  return out;
}

bool IsKeyed(TSortMethod m) { return m == scpFrequency || m == scpDeviation; }

}  // namespace

void TVelkSpellChecker::Suggest(const std::string& AWord) {
  FSuggestions.Clear();
  if (FSuggestionRanking == srkLikelihood) {
    if (!FRanker) {
      FRanker = std::make_unique<detail::LikelihoodRanker>();
      FRanker->SetLanguage(detail::TypingLanguageFor(FLanguage));
    }
    std::vector<std::string> ranked;
    if (const detail::CompactState* compact = CurrentCompact()) {
      // The form's stored index, and a trie read only when the words changed.
      const detail::WordTrie* current = FNodeList.Pending() ? nullptr : &*FNodeList;
      FRanker->Rank(compact->View(current), AWord, FSuggestionLimit, ranked);
    } else {
      FRanker->Rank(*FNodeList, AWord, FSuggestionLimit, ranked);
    }
    for (std::string& s : ranked) FSuggestions.Add(std::move(s));
    return;
  }
  // Start at the root with the whole budget of each kind of edit.
  FCurrentNode = 0;
  FAppendLeft = FMaxDevAppend;
  FDeleteLeft = FMaxDevDelete;
  FInsertLeft = FMaxDevInsert;
  FSubstituteLeft = FMaxDevSubstitute;
  FWordPos = 0;
  FCandPos = 0;
  FWord = AWord;
  FCandidate.assign(AWord.size() + FAppendLeft + FInsertLeft, ' ');
  FFoundList.clear();
  // Walk the trie from the root, collecting candidates.
  if (GetNodeCount() > 0) MakeSuggestion();
  // Sort by the keys, then drop them.
  if (FSortMethod1 != scpNone && FSuggestions.Count() > 0) {
    // The list's own order (bytes compared after folding the case), by way
    // of folded copies so that each comparison is a plain byte comparison.
    const std::size_t key = IsKeyed(FSortMethod1) ? (IsKeyed(FSortMethod2) ? 16 : 8) : 0;
    std::vector<std::pair<std::string, std::string>> entries;
    entries.reserve(static_cast<std::size_t>(FSuggestions.Count()));
    for (const std::string& s : FSuggestions) entries.emplace_back(Folded(s), s.substr(key));
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    FSuggestions.Clear();
    for (auto& e : entries) FSuggestions.Add(e.second);
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
  // One level deeper in the word and in the candidate.
  const auto node = static_cast<std::uint32_t>(FCurrentNode);
  ++FWordPos;
  ++FCandPos;
  if (FCandidate.size() < FCandPos) FCandidate.resize(FCandPos + 8, ' ');
  const std::uint32_t length = static_cast<std::uint32_t>(FWord.size());
  // Accept; characters left at the end of the word are dropped freely up
  // to the deletions still allowed.
  if (trie.WordNumber(node) != 0 && length < FWordPos + FDeleteLeft) AddCurrSuggestion();
  // Try each child of this node as the candidate's next letter.
  const detail::WordTrie::ChildArrays kids = trie.Children(node);
  const std::uint32_t count = kids.Count;
  if (count > 0) {
    const std::uint8_t* letters = kids.Letters;
    const std::uint32_t* children = kids.Indices;
    // Look ahead in the word: 1-based positions among the child letters.
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
    // Each child by the first rule that fits.
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
  // Back up one level for the caller.
  --FWordPos;
  --FCandPos;
}

void TVelkSpellChecker::AddCurrSuggestion() {
  // The first form of a word found (ignoring case) stays.
  std::string w = FCandidate.substr(0, FCandPos - 1);
  if (!FFoundList.insert(Folded(w)).second) return;
  // Unsorted, the word goes in as it is; sorted, behind its keys in hex.
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
