// Where a dictionary keeps its word trie. A dictionary opened through its
// compact form (a mapped image of its words, see docs/compact-form.md) reads
// the spell file's nodes only when something needs the trie itself: adding
// or deleting a word, saving, encoding, walking the nodes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace wordloom::detail {

class WordTrie;

class TrieSlot {
 public:
  // Fills the empty trie it is given, or raises (the trie stays empty and the
  // read is tried again at the next use).
  using Loader = std::function<void(WordTrie&)>;

  TrieSlot();
  ~TrieSlot();
  TrieSlot(const TrieSlot&) = delete;
  TrieSlot& operator=(const TrieSlot&) = delete;

  // The trie, read first if it waits.
  WordTrie& operator*() const { return Get(); }
  WordTrie* operator->() const { return &Get(); }
  WordTrie& Get() const {
    if (FLoad) Load();
    return *FTrie;
  }
  // Whether the trie waits to be read.
  bool Pending() const { return static_cast<bool>(FLoad); }
  // Makes the trie wait for Read, which replaces whatever it held.
  void Defer(Loader Read);
  // Forgets a waiting read and empties the trie.
  void Reset();
  // The trie's revision right after the last deferred read (0: none was made).
  std::uint64_t LoadedRevision() const { return FLoadedRevision; }

 private:
  void Load() const;

  std::unique_ptr<WordTrie> FTrie;
  mutable Loader FLoad;
  mutable std::uint64_t FLoadedRevision = 0;
};

}  // namespace wordloom::detail
