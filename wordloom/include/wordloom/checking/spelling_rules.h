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
// Case here is ASCII case: words are bytes, and no encoding is assumed.
#pragma once

#pragma GCC visibility push(default)

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "wordloom/checking/velk_spell_checker.h"
#include "wordloom/dictionary/velk_wordloom.h"

namespace wordloom {

// ---- word case ----

inline bool IsAsciiCapital(char C) { return C >= 'A' && C <= 'Z'; }
inline bool IsAsciiSmall(char C) { return C >= 'a' && C <= 'z'; }

// Word with A-Z in lower case (AsciiLower) or a-z in upper case (AsciiUpper);
// every other byte as it is.
std::string AsciiLower(std::string_view Word);
std::string AsciiUpper(std::string_view Word);
// Word in lower case with its first byte in upper case: "Paris" for "PARIS".
std::string Capitalised(std::string_view Word);
// Whether the writer capitalised Word: its first byte is A-Z.
bool StartsWithCapital(std::string_view Word);
// Whether the writer wrote Word in capitals: at least two bytes, A-Z first,
// no a-z anywhere ("NASA", "O'NEIL"; not "I", not "1ST").
bool IsAllCapitals(std::string_view Word);
// Suggestion in the writer's case for Typed: all in capitals when Typed is
// (IsAllCapitals), else with a capital first letter when Typed has one;
// otherwise as it is. A capital the suggestion has of its own stays.
std::string InWritersCase(std::string Suggestion, std::string_view Typed);

// ---- known words ----

// Words the caller knows besides the dictionary (a session's accepted words).
using WordPredicate = std::function<bool(const std::string& Word)>;

// True when Word is a word of Dict or AlsoKnown accepts it; unless
// CaseSensitive, also when Word starts with a capital and its lower-case
// form is known, or is in capitals (IsAllCapitals) and its capitalised form
// is known. A possessive is known when its possessor is ("John's" for
// "John"; "it's" only from the dictionary), a hyphenated word when each of
// its parts is. An empty word is never known.
bool IsKnownWord(TVelkWordloom& Dict, const std::string& Word, bool CaseSensitive,
                 const WordPredicate& AlsoKnown = {});

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
