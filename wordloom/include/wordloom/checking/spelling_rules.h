// The rules every front end applies around the dictionary: which case forms
// of a dictionary word are known, corrections in the case the writer used,
// apostrophes that are quotation marks and typographic apostrophes. The
// command-line tool, its ispell pipe and the editor's highlighter ask these
// functions, so that they agree on which words are wrong and on the order of
// their corrections.
//
//   IsKnownWord(checker, "PARIS", false);                  // "Paris" is known
//   SuggestionsFor(checker, "Teh", 5, false);              // "The", "Ten", ...
//   IsAcceptedWord(checker, "\xE2\x80\x99tis", false);     // "'tis", quotes removed
//
// Case is Unicode case (unicode_case.h); bytes that are not UTF-8 have none.
#pragma once

#pragma GCC visibility push(default)

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "wordloom/checking/velk_spell_checker.h"
#include "wordloom/dictionary/velk_wordloom.h"
#include "wordloom/text/unicode_case.h"

namespace wordloom {

// ---- word case ----
// Case forms and the writer's case: unicode_case.h (LowerCase, UpperCase,
// Capitalised, StartsWithCapital, IsAllCapitals, InWritersCase).

// Whether C is A-Z or a-z: for rules that weigh bytes (the ranking's costs).
inline bool IsAsciiCapital(char C) { return C >= 'A' && C <= 'Z'; }
inline bool IsAsciiSmall(char C) { return C >= 'a' && C <= 'z'; }

// ---- known words ----

// Words the caller knows besides the dictionary (a session's accepted words).
using WordPredicate = std::function<bool(const std::string& Word)>;

// True when Word is a word of Dict or AlsoKnown accepts it; unless
// CaseSensitive, also when Word is capitalised (a capital, then small
// letters) and its lower-case form is known, or is in capitals
// (IsAllCapitals) and its lower-case or capitalised form is known; "THe" is
// no case form of "the". Besides: a possessive is known when its possessor
// is ("John's" for "John"; "it's" only from the dictionary); the plural of
// an abbreviation in capitals when the abbreviation is ("CDs"); a word with
// a leading apostrophe ("'tis") as it is or without it; a hyphenated word
// when each of its parts is; an identifier in camel case ("dataLayer") when
// each hump of two or more characters is. An empty word is never known.
bool IsKnownWord(TVelkWordloom& Dict, const std::string& Word, bool CaseSensitive,
                 const WordPredicate& AlsoKnown = {});
// The same rule over any words: InDictionary says which spellings are words
// (several dictionaries at once: DictionarySet).
bool IsKnownWordBy(const WordPredicate& InDictionary, const std::string& Word, bool CaseSensitive);

// ---- corrections ----

// Up to Limit corrections for Word in the checker's ranking, each once
// (case ignored), Word itself left out, in the writer's case (InWritersCase).
// srkLikelihood ranks the case forms itself; with the sort methods a word
// holding capitals is also searched in lower case, and those corrections,
// put in the writer's case, come before the ones for Word as written. With
// CaseSensitive only the dictionary's spellings are offered. Overwrites the
// checker's Suggestions(); its SuggestionLimit is restored. Empty for an
// empty Word or a Limit of 0.
std::vector<std::string> SuggestionsFor(TVelkSpellChecker& Checker, const std::string& Word,
                                        std::size_t Limit, bool CaseSensitive);

// Corrections for each distinct word, for a check that meets the same
// unknown word again and again: SuggestionsFor runs once per word. Clear it
// when the dictionary or the checker's settings change. It keeps at most
// kMaxWords words and starts afresh beyond them, so that its memory does not
// grow with the text.
class SuggestionCache {
 public:
  static constexpr std::size_t kMaxWords = 50000;

  // What computes the corrections of a word: (Word, Limit, CaseSensitive).
  using Suggester =
      std::function<std::vector<std::string>(const std::string&, std::size_t, bool)>;

  // Corrections by SuggestionsFor(Checker, ...).
  SuggestionCache(TVelkSpellChecker& Checker, std::size_t Limit, bool CaseSensitive);
  SuggestionCache(Suggester Suggest, std::size_t Limit, bool CaseSensitive)
      : FSuggest(std::move(Suggest)), FLimit(Limit), FCaseSensitive(CaseSensitive) {}
  // Suggest(Word, Limit, CaseSensitive), from the cache when Word was asked
  // before. Valid until the next call.
  const std::vector<std::string>& For(const std::string& Word);
  void Clear() { FWords.clear(); }
  // Another limit (the checker's settings changed): the cache starts afresh.
  void SetLimit(std::size_t Limit) {
    FLimit = Limit;
    Clear();
  }

 private:
  Suggester FSuggest;
  std::size_t FLimit;
  bool FCaseSensitive;
  std::unordered_map<std::string, std::vector<std::string>> FWords;
};

// ---- apostrophes ----

// U+2019 RIGHT SINGLE QUOTATION MARK, the typographic apostrophe, in UTF-8.
inline constexpr std::string_view kTypographicApostrophe = "\xE2\x80\x99";

// Word without the apostrophes around it (straight or typographic): those
// are quotation marks, not part of the word. A view into Word.
std::string_view WithoutQuotes(std::string_view Word);
// Word as a dictionary spells it: every typographic apostrophe becomes '.
std::string FoldApostrophes(std::string_view Word);
// Suggestion with the writer's apostrophe: every ' becomes the typographic
// one when Typed (the word as it stands in the text) holds one and no
// straight one, so that a correction does not change the writer's style.
std::string InWritersApostrophes(std::string Suggestion, std::string_view Typed);
// Whether Word holds a letter: A-Z, a-z or any byte from 128 up (so any
// UTF-8 letter).
bool HasLetter(std::string_view Word);
// Whether a word of a text passes a check: once the quotation marks around
// it are removed, it has no letter, or it is known (IsKnownWord) with its
// apostrophes folded.
bool IsAcceptedWord(TVelkWordloom& Dict, std::string_view Word, bool CaseSensitive);

}  // namespace wordloom

#pragma GCC visibility pop
