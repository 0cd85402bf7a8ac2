#include "wordloom/checking/spelling_rules.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <utility>

namespace wordloom {

namespace {

// Word as written or in one of the case forms a writer may give it.
bool IsKnownInSomeCase(const std::string& Word, bool CaseSensitive,
                       const std::function<bool(const std::string&)>& Known) {
  if (Known(Word)) return true;
  if (CaseSensitive || !StartsWithCapital(Word)) return false;
  const std::string capitalised = Capitalised(Word);
  const bool shouted = IsAllCapitals(Word);
  // Only the capitalised and the shouted forms: "THe" is a slip of the
  // shift key, not a way of writing "the".
  if (!shouted && Word != capitalised) return false;
  if (Known(LowerCase(Word))) return true;
  // "PARIS" is the shouted form of "Paris".
  return shouted && Known(capitalised);
}

// The word whose possessive Word is ("John" for "John's"), or empty. "it's"
// is never a possessive (that is "its"): whether it is a word is the
// dictionary's to say.
std::string PossessorOf(const std::string& Word) {
  if (Word.size() < 3 || Word[Word.size() - 2] != '\'' || (Word.back() | 0x20) != 's') return {};
  std::string stem = Word.substr(0, Word.size() - 2);
  if (LowerCase(stem) == "it") return {};
  return stem;
}

}  // namespace

bool IsKnownWord(TVelkWordloom& Dict, const std::string& Word, bool CaseSensitive,
                 const WordPredicate& AlsoKnown) {
  return IsKnownWordBy(
      [&](const std::string& w) { return (AlsoKnown && AlsoKnown(w)) || Dict.Frequency(w) > 0; },
      Word, CaseSensitive);
}

bool IsKnownWordBy(const WordPredicate& InDictionary, const std::string& Word, bool CaseSensitive) {
  if (Word.empty()) return false;
  if (IsKnownInSomeCase(Word, CaseSensitive, InDictionary)) return true;
  if (const std::string stem = PossessorOf(Word);
      !stem.empty() && IsKnownInSomeCase(stem, CaseSensitive, InDictionary)) {
    return true;
  }
  // "CDs", "URLs": the plural of an abbreviation written in capitals.
  if (Word.size() >= 3 && Word.back() == 's' &&
      IsAllCapitals(std::string_view(Word).substr(0, Word.size() - 1)) &&
      IsKnownInSomeCase(Word.substr(0, Word.size() - 1), CaseSensitive, InDictionary)) {
    return true;
  }
  // "'tis", "'em", or a word after a quotation mark the writer typed as an
  // apostrophe.
  if (Word.size() > 1 && Word.front() == '\'') {
    return IsKnownWordBy(InDictionary, Word.substr(1), CaseSensitive);
  }
  // A hyphenated word the dictionary lacks is right when each part is.
  if (Word.find('-') != std::string::npos) {
    std::size_t start = 0;
    for (;;) {
      const std::size_t end = std::min(Word.find('-', start), Word.size());
      const std::string part = Word.substr(start, end - start);
      if (!IsKnownWordBy(InDictionary, part, CaseSensitive)) return false;
      if (end == Word.size()) return true;
      start = end + 1;
    }
  }
  // "dataLayer", "macOS": names in camel case are right when each hump is; a
  // hump of one letter ("tHe") is more likely a slip.
  const std::vector<std::string_view> humps = CamelHumps(Word);
  if (humps.size() < 2) return false;
  for (const std::string_view hump : humps) {
    if (hump.size() < 2 || !IsKnownWordBy(InDictionary, std::string(hump), CaseSensitive)) {
      return false;
    }
  }
  return true;
}

std::vector<std::string> SuggestionsFor(TVelkSpellChecker& Checker, const std::string& Word,
                                        std::size_t Limit, bool CaseSensitive) {
  std::vector<std::string> out;
  if (Limit == 0 || Word.empty()) return out;
  // The search's limit is the caller's setting; it comes back however this ends.
  struct RestoreLimit {
    TVelkSpellChecker& Checker;
    std::uint32_t Limit;
    ~RestoreLimit() { Checker.SetSuggestionLimit(Limit); }
  } restore{Checker, Checker.SuggestionLimit()};
  if (Checker.SuggestionRanking() == srkLikelihood) {
    // The ranking gives its words in the writer's case, each once (case
    // ignored), and looks past case itself; when case counts, only the
    // dictionary's spellings are corrections. One more than Limit, since
    // Word itself may come back.
    Checker.SetSuggestionLimit(static_cast<std::uint32_t>(std::min<std::size_t>(Limit, UINT32_MAX - 1) + 1));
    Checker.Suggest(CaseSensitive ? LowerCase(Word) : Word);
    for (const std::string& s : Checker.Suggestions()) {
      if (out.size() >= Limit) break;
      if (!s.empty() && s != Word) out.push_back(s);
    }
    return out;
  }
  std::unordered_set<std::string> seen;
  const auto take = [&](const std::string& s) {
    if (out.size() < Limit && !s.empty() && s != Word && seen.insert(LowerCase(s)).second) {
      out.push_back(s);
    }
  };
  // The sort methods search the bytes as written, so "Teh" finds little that
  // "teh" would not find better: the lower-case search comes first.
  Checker.SetSuggestionLimit(0);
  const std::string lower = LowerCase(Word);
  if (!CaseSensitive && lower != Word) {
    Checker.Suggest(lower);
    for (const std::string& s : Checker.Suggestions()) take(InWritersCase(s, Word));
  }
  Checker.Suggest(Word);
  for (const std::string& s : Checker.Suggestions()) take(s);
  return out;
}

const std::vector<std::string>& SuggestionCache::For(const std::string& Word) {
  if (const auto found = FWords.find(Word); found != FWords.end()) return found->second;
  if (FWords.size() >= kMaxWords) FWords.clear();
  return FWords.emplace(Word, FSuggest(Word, FLimit, FCaseSensitive)).first->second;
}

SuggestionCache::SuggestionCache(TVelkSpellChecker& Checker, std::size_t Limit, bool CaseSensitive)
    : SuggestionCache(
          [&Checker](const std::string& Word, std::size_t Limit, bool CaseSensitive) {
            return SuggestionsFor(Checker, Word, Limit, CaseSensitive);
          },
          Limit, CaseSensitive) {}

namespace {

// Removes one apostrophe, straight or typographic, from the start (AtStart)
// or the end of Word; false when there is none there.
bool DropApostrophe(std::string_view& Word, bool AtStart) {
  for (const std::string_view mark : {std::string_view("'"), kTypographicApostrophe}) {
    if (AtStart ? Word.starts_with(mark) : Word.ends_with(mark)) {
      if (AtStart) {
        Word.remove_prefix(mark.size());
      } else {
        Word.remove_suffix(mark.size());
      }
      return true;
    }
  }
  return false;
}

}  // namespace

std::string_view WithoutQuotes(std::string_view Word) {
  while (DropApostrophe(Word, true)) {
  }
  while (DropApostrophe(Word, false)) {
  }
  return Word;
}

std::string FoldApostrophes(std::string_view Word) {
  std::string out;
  out.reserve(Word.size());
  for (std::size_t i = 0; i < Word.size();) {
    if (Word.substr(i, kTypographicApostrophe.size()) == kTypographicApostrophe) {
      out += '\'';
      i += kTypographicApostrophe.size();
    } else {
      out += Word[i++];
    }
  }
  return out;
}

bool HasLetter(std::string_view Word) {
  return std::any_of(Word.begin(), Word.end(), [](char c) {
    return IsAsciiCapital(c) || IsAsciiSmall(c) || static_cast<unsigned char>(c) >= 0x80;
  });
}

std::string InWritersApostrophes(std::string Suggestion, std::string_view Typed) {
  if (Typed.find(kTypographicApostrophe) == std::string_view::npos ||
      Typed.find('\'') != std::string_view::npos) {
    return Suggestion;
  }
  std::string out;
  out.reserve(Suggestion.size() + 4);
  for (char c : Suggestion) {
    if (c == '\'') {
      out += kTypographicApostrophe;
    } else {
      out += c;
    }
  }
  return out;
}

bool IsAcceptedWord(TVelkWordloom& Dict, std::string_view Word, bool CaseSensitive) {
  const std::string_view bare = WithoutQuotes(Word);
  return !HasLetter(bare) || IsKnownWord(Dict, FoldApostrophes(bare), CaseSensitive);
}

}  // namespace wordloom
