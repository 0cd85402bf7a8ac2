#include "wordloom/dictionary/trie_slot.h"

#include "dictionary/word_trie.h"

namespace wordloom::detail {

TrieSlot::TrieSlot() : FTrie(std::make_unique<WordTrie>()) {}
TrieSlot::~TrieSlot() = default;

void TrieSlot::Defer(Loader Read) {
  FTrie->Clear();
  FLoadedRevision = 0;
  FLoad = std::move(Read);
}

void TrieSlot::Reset() {
  FLoad = nullptr;
  FTrie->Clear();
}

void TrieSlot::Load() const {
  WordTrie fresh;
  FLoad(fresh);  // on an exception the read stays waiting
  FTrie->Swap(fresh);
  FLoad = nullptr;
  FLoadedRevision = FTrie->Revision();
}

}  // namespace wordloom::detail
