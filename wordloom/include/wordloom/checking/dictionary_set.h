// Several dictionaries checking as one (`-d en_US,en_GB`), with the words of
// a personal list: a word is known when any of them knows it, and the
// corrections of each are merged into one order by the likelihood ranking's
// score (or, with the sort methods, by the weighted edit distance), so that
// the check, the pipe and the editor agree.
//
//   DictionarySet set;
//   set.Add(us);                    // TVelkSpellChecker&, not owned
//   set.Add(gb);
//   set.AddPersonalWord("Wordloom");
//   set.IsKnown("colour", false);   // gb knows it
//   set.Suggestions("colr", 5, false);
#pragma once

#pragma GCC visibility push(default)

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "wordloom/checking/spelling_rules.h"
#include "wordloom/checking/velk_spell_checker.h"

namespace wordloom {

namespace detail {
class LikelihoodRanker;
}

class DictionarySet {
 public:
  DictionarySet();
  ~DictionarySet();
  DictionarySet(const DictionarySet&) = delete;
  DictionarySet& operator=(const DictionarySet&) = delete;

  // Adds Checker, which must outlive the set; the first added is the primary.
  void Add(TVelkSpellChecker& Checker);
  std::size_t Count() const { return FCheckers.size(); }
  // REQUIRES: I < Count().
  TVelkSpellChecker& operator[](std::size_t I) const { return *FCheckers[I]; }

  // A word known to this session besides the dictionaries (a personal word):
  // known and offered as a correction; no dictionary is changed. Raises the
  // dictionary's exception for a word it cannot hold (one with its format
  // character).
  void AddPersonalWord(const std::string& Word);

  // IsKnownWord over all the dictionaries and the personal words: the case
  // forms, possessives and hyphenated words of that rule, each part known
  // when any dictionary knows it.
  bool IsKnown(const std::string& Word, bool CaseSensitive, const WordPredicate& AlsoKnown = {});

  // SuggestionsFor each dictionary (and the personal words), merged: by the
  // primary's ranking's score, each word once (case ignored), at most Limit.
  // With one dictionary and no personal word near Word, exactly
  // SuggestionsFor of that dictionary.
  std::vector<std::string> Suggestions(const std::string& Word, std::size_t Limit,
                                       bool CaseSensitive);

  // Sets the ranking of every dictionary.
  void SetSuggestionRanking(TSuggestionRanking Ranking);

 private:
  // The frequency of Word in some case in the dictionary that knows it best.
  std::uint32_t Frequency(const std::string& Word);

  std::vector<TVelkSpellChecker*> FCheckers;
  // The personal words, as a dictionary of their own (made on first use).
  std::unique_ptr<TVelkSpellChecker> FPersonal;
  std::unique_ptr<detail::LikelihoodRanker> FRanker;
};

}  // namespace wordloom

#pragma GCC visibility pop
