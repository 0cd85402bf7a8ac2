// TVelkSpellChecker: a dictionary that checks words and editor text. It
// proposes corrections found by a bounded search of the word trie (deleted,
// inserted, substituted and appended letters) and lets the user decide
// through its check dialog.
//
//   TVelkSpellChecker checker(nullptr);
//   checker.AddFileToSpell("words.txt");
//   checker.Suggest("teh");          // checker.Suggestions() holds "the", ...
//   checker.SetMemo(&memo);
//   checker.CheckMemo();             // asks about every unknown word
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "wordloom/checking/spell_dialogs.h"
#include "wordloom/dictionary/velk_wordloom.h"
#include "wordloom/platform/memo.h"
#include "wordloom/platform/string_list.h"

namespace wordloom {

// Internals of the library, not exported from the shared one.
#pragma GCC visibility push(hidden)
namespace detail {
class LikelihoodRanker;
}
#pragma GCC visibility pop

// The keys Suggestions can be sorted by.
enum TSortMethod : std::uint8_t { scpAlphabetic, scpFrequency, scpDeviation, scpNone };

// How Suggest orders what it finds. srkSortMethods: by SortMethod1 and
// SortMethod2 over the words within the four budgets. srkLikelihood: the words
// the writer most likely meant first, weighing how common each word is against
// how likely the typo is (see suggestion_ranking.h).
enum TSuggestionRanking : std::uint8_t { srkSortMethods, srkLikelihood };

// Part of the public interface; the search does not use them.
enum TDevMethod : std::uint8_t { mNone, mDelete, mInsert, mSubstitute, mDone };
using TDev = std::vector<std::uint8_t>;

class TVelkSpellChecker : public TVelkWordloom {
 public:
  WORDLOOM_OBJECT(TVelkSpellChecker)

  explicit TVelkSpellChecker(TComponent* AOwner);
  ~TVelkSpellChecker() override;

  // ---- published properties, in stored order ----
  std::uint32_t MaxDevAppend() const { return FMaxDevAppend; }
  void SetMaxDevAppend(std::uint32_t Value) { FMaxDevAppend = Value; }
  std::uint32_t MaxDevInsert() const { return FMaxDevInsert; }
  void SetMaxDevInsert(std::uint32_t Value) { FMaxDevInsert = Value; }
  std::uint32_t MaxDevDelete() const { return FMaxDevDelete; }
  void SetMaxDevDelete(std::uint32_t Value) { FMaxDevDelete = Value; }
  std::uint32_t MaxDevSubstitute() const { return FMaxDevSubstitute; }
  void SetMaxDevSubstitute(std::uint32_t Value) { FMaxDevSubstitute = Value; }
  // The memo CheckMemo checks; not owned. Dropped when the memo is destroyed.
  TCustomMemo* Memo() const { return FMemo; }
  void SetMemo(TCustomMemo* Value);
  TSortMethod SortMethod1() const { return FSortMethod1; }
  void SetSortMethod1(TSortMethod Value) { FSortMethod1 = Value; }
  TSortMethod SortMethod2() const { return FSortMethod2; }
  void SetSortMethod2(TSortMethod Value) { FSortMethod2 = Value; }
  // Never empty: nullptr installs a default dialog owned by no one (the
  // checker frees it). A dialog the application assigns is not freed by the
  // checker, owner or not.
  TCustomSpellCheckDlg* CheckDialog() const { return FCheckDialog; }
  void SetCheckDialog(TCustomSpellCheckDlg* Value);
  // The most suggestions kept after sorting; 0 keeps all.
  std::uint32_t SuggestionLimit() const { return FSuggestionLimit; }
  void SetSuggestionLimit(std::uint32_t Value) { FSuggestionLimit = Value; }
  const TStringList& Suggestions() const { return FSuggestions; }
  TSuggestionRanking SuggestionRanking() const { return FSuggestionRanking; }
  void SetSuggestionRanking(TSuggestionRanking Value) { FSuggestionRanking = Value; }
  // Copies the strings of Value into the checker's own list.
  void SetSuggestions(const TStringList& Value);
  // The language the dictionary is written in, as a tag ("de", "fr_FR",
  // "es-ES"; DictionaryLanguage gives it from a dictionary's name). The
  // likelihood ranking takes the keyboard its writers use for which keys
  // are neighbours, and uses English sound-alike keys only for English
  // (the default, also for an empty tag). Set it before OpenSpellFile, so
  // that the compact form opened or made is the one the language needs.
  const std::string& Language() const { return FLanguage; }
  void SetLanguage(const std::string& Value);

  // The options dialog (owned).
  TCustomSpellOptsDlg* OptsDialog() const { return FOptsDialog; }

  // ---- operations ----
  // True when AWord is a dictionary word. Otherwise asks the check dialog,
  // adds the word on crAdd, shows the options on crOptions, and returns false;
  // AWord holds what the dialog returned.
  bool Check(std::string& AWord);
  // Checks the memo's selection, or its text from the caret to the end,
  // asking the check dialog about every word the dictionary lacks.
  void CheckMemo();
  // Fills Suggestions with the dictionary words within the budgets of
  // deviations from AWord, sorted by SortMethod1 and SortMethod2.
  void Suggest(const std::string& AWord);
  void ShowOptsDialog(TPageSet Pages);
  // Puts the dictionary words from FromWord to ToWord (both included, A-Z
  // compared without case) into Suggestions, sorted. False, Suggestions
  // untouched, when FromWord comes after ToWord.
  bool WordList(const std::string& FromWord, const std::string& ToWord);
  // The character source of the memo check: the character at the caret; the
  // caret moves one further.
  void ReadCharFromMemo(char& Block);

  void GetProperties(PropertyList& List) override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Search state, in the order the search uses it.
  std::string FCandidate;
  std::uint32_t FCandPos = 0;
  std::uint32_t FAppendLeft = 0;
  std::uint32_t FDeleteLeft = 0;
  std::uint32_t FInsertLeft = 0;
  std::uint32_t FSubstituteLeft = 0;
  std::uint32_t FWordPos = 0;
  TCustomSpellOptsDlg* FOptsDialog = nullptr;
  std::string FWord;
  // The candidates reported in this search, folded to lower case: a word
  // found again in another case is not reported twice. A hash set, where a
  // sorted list would make each search quadratic in its candidates.
  std::unordered_set<std::string> FFoundList;
  TStringList FIgnoreList;
  std::uint32_t FMaxDevAppend = 0;
  std::uint32_t FMaxDevDelete = 1;
  std::uint32_t FMaxDevInsert = 1;
  std::uint32_t FMaxDevSubstitute = 3;
  std::uint32_t FSuggestionLimit = 100;
  TSortMethod FSortMethod1 = scpDeviation;
  TSortMethod FSortMethod2 = scpAlphabetic;
  TStringList FSuggestions;
  TSuggestionRanking FSuggestionRanking = srkSortMethods;
  std::string FLanguage;
  TCustomSpellCheckDlg* FCheckDialog = nullptr;
  TCustomMemo* FMemo = nullptr;

 private:
  // One level of the depth-first search.
  void MakeSuggestion();
  // Reports the current candidate.
  void AddCurrSuggestion();
  // Asks the check dialog about W until the answer is not crOptions.
  TCheckResults Ask(std::string& W);
  // The memo text as the check last read it.
  std::string FMemoText;
  // Whether FCheckDialog is a default dialog the checker made without owner,
  // and so frees; a dialog the application assigned stays the application's.
  bool FOwnsCheckDialog = false;
  // The search of the likelihood ranking, made on first use: it keeps an
  // index of the dictionary's sound-alike keys.
  std::unique_ptr<detail::LikelihoodRanker> FRanker;
};

}  // namespace wordloom

#pragma GCC visibility pop
