// A dictionary's compact form in use, with the words added since it was
// made: a small trie and sound-alike index of their own, so that adding a
// word never rebuilds the form's index. Deleted words and changed
// frequencies need no record: once the dictionary changes, the ranker takes
// each word's number and frequency from the dictionary's trie
// (CompactView::Current).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "checking/compact_form.h"
#include "checking/likelihood_ranking.h"
#include "checking/sound_index.h"
#include "dictionary/word_trie.h"

namespace wordloom::detail {

struct CompactState {
  // More added words than this, and the dictionary is searched as a trie
  // again (learning a text adds thousands).
  static constexpr std::size_t kMaxAdded = 4096;

  std::shared_ptr<const CompactForm> Form;
  // The trie revision the added words bring the form up to; 0: the trie as
  // its deferred read left it.
  std::uint64_t Revision = 0;
  WordTrie Added;
  std::vector<std::string> AddedWords;
  SoundIndexBuilder AddedSound;

  // Records Word as added to the dictionary. False, recording nothing, when
  // the record is full.
  bool Add(std::string_view Word);
  // The view the ranker searches; Current is the dictionary's trie once it
  // was read (nullptr while it waits).
  CompactView View(const WordTrie* Current) const;
};

}  // namespace wordloom::detail
