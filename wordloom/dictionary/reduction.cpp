// Pruning the dictionary towards a number of words.
//
// The most frequent words stay: the entries are sorted by descending frequency
// (ties in word-number order), the first Count stay for certain, and the rest
// are offered for removal, least frequent first. A word that begins a longer
// word stays, and OnDeleteWord may keep any word. The survivors are renumbered
// in sorted order, so the most frequent word becomes word 1 and gets the
// shortest code.
#include <algorithm>
#include <vector>

#include "dictionary/word_trie.h"
#include "wordloom/dictionary/velk_wordloom.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {

namespace {

struct SortEntry {
  TWordEntry Entry;
  bool Removed = false;
};

}  // namespace

void TVelkWordloom::ReduceSpell(std::uint32_t& Count) {
  detail::WordTrie& trie = *FNodeList;
  const std::uint32_t words = trie.WordCount();
  // Nothing to reduce in an empty dictionary.
  if (words == 0) return;
  // Most frequent first; equal frequencies keep their word-number order.
  std::vector<SortEntry> sorted(words);
  for (std::uint32_t i = 0; i < words; ++i) sorted[i].Entry = trie.Entry(i);
  std::stable_sort(sorted.begin(), sorted.end(), [](const SortEntry& a, const SortEntry& b) {
    return a.Entry.Frequency > b.Entry.Frequency;
  });

  std::vector<std::uint32_t> removed_nodes;
  bool any_removed = false;

  // Renumbers the survivors in sorted order, rebuilds the table and closes
  // up the node list. Also runs when a handler raised, so that what was
  // removed until then leaves a consistent dictionary.
  auto finish = [&]() -> std::uint32_t {
    std::uint32_t k = 0;
    for (const SortEntry& e : sorted) {
      if (e.Removed) continue;
      ++k;
      trie.SetWordNumber(static_cast<std::uint32_t>(e.Entry.Node), k);
    }
    trie.SetWordCount(0);
    trie.SetWordCapacity(k);
    std::uint32_t i = 0;
    for (const SortEntry& e : sorted) {
      if (!e.Removed) trie.Entry(i++) = e.Entry;
    }
    trie.SetWordCount(k);
    trie.CloseUp(std::move(removed_nodes),
                 [this] { DoError(ErrorClass::Of<Exception>(), detail::kCorruptSpellIndex); });
    if (static_cast<std::uint32_t>(FCurrentNode) >= trie.NodeCount()) FCurrentNode = 0;
    return k;
  };

  // The candidates, least frequent first.
  try {
    for (std::uint32_t pos = words; pos-- > Count;) {
      SortEntry& candidate = sorted[pos];
      const auto node = static_cast<std::uint32_t>(candidate.Entry.Node);
      if (trie.ChildCount(node) > 0) continue;  // it begins a longer word
      bool keep = false;
      if (FOnDeleteWord) FOnDeleteWord(ExtractSpellWord(node), keep);
      if (keep) continue;
      candidate.Removed = true;
      any_removed = true;
      FCurrentNode = static_cast<std::int32_t>(trie.RemoveWordPath(node, removed_nodes));
    }
  } catch (...) {
    if (any_removed) finish();
    throw;
  }
  // Nothing removed: every word stays, with its number.
  if (!any_removed) {
    Count = words;
    return;
  }
  Count = finish();
}

}  // namespace wordloom
