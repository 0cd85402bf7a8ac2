// The checker component: construction, properties, dialogs, Check and WordList.
// The search is in suggestion.cpp, the memo check in memo_check.cpp.
#include "wordloom/checking/velk_spell_checker.h"

#include "checking/likelihood_ranking.h"
#include "dictionary/word_trie.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {

namespace {

constexpr const char* kDefaultDialogName = "DefaultDlg";

// The order of WordList: A-Z compared without case, everything else by byte
// value; bounds equal that way are then compared case-sensitively.
int CompareAsciiText(std::string_view a, std::string_view b) {
  auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = fold(static_cast<unsigned char>(a[i]));
    const int cb = fold(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca - cb;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

TVelkSpellChecker::TVelkSpellChecker(TComponent* AOwner) : TVelkWordloom(AOwner) {
  // The lists and the settings are members with their initial values.
  FIgnoreList.SetSorted(true);
  // The default dialogs, owned by the checker.
  const SpellDialogFactory& factory = GetSpellDialogFactory();
  FCheckDialog = factory.CreateCheckDialog(this);
  FCheckDialog->SetName(kDefaultDialogName);
  FOptsDialog = factory.CreateOptsDialog(this);
}

TVelkSpellChecker::~TVelkSpellChecker() {
  // A default dialog the checker made without owner goes with it.
  if (FOwnsCheckDialog) delete FCheckDialog;
  FCheckDialog = nullptr;
  if (FMemo != nullptr) FMemo->RemoveFreeNotification(this);
  FMemo = nullptr;
}

void TVelkSpellChecker::SetMemo(TCustomMemo* Value) {
  if (Value == FMemo) return;
  if (FMemo != nullptr) FMemo->RemoveFreeNotification(this);
  FMemo = Value;
  if (FMemo != nullptr) FMemo->FreeNotification(this);
}

void TVelkSpellChecker::SetCheckDialog(TCustomSpellCheckDlg* Value) {
  if (Value == FCheckDialog) return;
  TCustomSpellCheckDlg* previous = FCheckDialog;
  if (Value == nullptr) {
    // Never empty: an owned dialog is replaced by a new default one, a
    // default one without owner stays.
    if (previous != nullptr && previous->Owner() == nullptr) return;
    if (previous != nullptr) previous->RemoveFreeNotification(this);
    FCheckDialog = GetSpellDialogFactory().CreateCheckDialog(nullptr);
    FCheckDialog->SetName(kDefaultDialogName);
    FOwnsCheckDialog = true;
    return;
  }
  if (previous != nullptr) {
    previous->RemoveFreeNotification(this);
    if (FOwnsCheckDialog) delete previous;
  }
  FCheckDialog = Value;
  FOwnsCheckDialog = false;
  if (FCheckDialog->Owner() != this) FCheckDialog->FreeNotification(this);
}

void TVelkSpellChecker::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && !Destroying()) {
    if (AComponent == FMemo) FMemo = nullptr;
    if (AComponent == FOptsDialog) FOptsDialog = nullptr;
    if (AComponent == FCheckDialog) {
      // The dialog is going: a default one takes its place.
      FCheckDialog = GetSpellDialogFactory().CreateCheckDialog(nullptr);
      FCheckDialog->SetName(kDefaultDialogName);
      FOwnsCheckDialog = true;
    }
  }
  TVelkWordloom::Notification(AComponent, Operation);
}

void TVelkSpellChecker::SetSuggestions(const TStringList& Value) {
  if (&Value == &FSuggestions) return;
  FSuggestions.Clear();
  for (const std::string& s : Value) FSuggestions.Add(s);
}

bool TVelkSpellChecker::Check(std::string& AWord) {
  const bool known = Frequency(AWord) > 0;
  FSuggestions.Clear();
  if (known) return true;
  Suggest(AWord);
  const TCheckResults r = FCheckDialog->Execute(this, AWord);
  if (r == crAdd) {
    AddToSpell(AWord);
  } else if (r == crOptions) {
    ShowOptsDialog({sopSuggestions});
  }
  return false;
}

void TVelkSpellChecker::ShowOptsDialog(TPageSet Pages) {
  if (FOptsDialog != nullptr) FOptsDialog->Execute(this, Pages);
}

bool TVelkSpellChecker::WordList(const std::string& FromWord, const std::string& ToWord) {
  int order = CompareAsciiText(FromWord, ToWord);
  if (order == 0) order = CompareStr(FromWord, ToWord);
  if (order > 0) return false;
  FSuggestions.Clear();
  const std::uint32_t words = WordCount();
  for (std::uint32_t w = 0; w < words; ++w) {
    const std::string word =
        ExtractSpellWord(static_cast<std::uint32_t>(FNodeList->Entry(w).Node));
    if (CompareAsciiText(word, FromWord) >= 0 && CompareAsciiText(word, ToWord) <= 0) {
      FSuggestions.Add(word);
    }
  }
  if (words > 0) FSuggestions.Sort();
  return true;
}

void TVelkSpellChecker::SetLanguage(const std::string& Value) {
  FLanguage = Value;
  const detail::TypingLanguage& language = detail::TypingLanguageFor(Value);
  if (FRanker) FRanker->SetLanguage(language);
  SetCompactSoundIndex(language.SoundAlike);
}

void TVelkSpellChecker::GetProperties(PropertyList& List) {
  TVelkWordloom::GetProperties(List);
  auto u32 = [&List](const char* name, std::uint32_t& field) {
    List.Integer(name, [&field] { return std::int64_t{field}; },
                 [&field](std::int64_t v) { field = static_cast<std::uint32_t>(v); }, 0,
                 UINT32_MAX);
  };
  const std::vector<std::string> sort_names = {"scpAlphabetic", "scpFrequency", "scpDeviation",
                                               "scpNone"};
  u32("MaxDevAppend", FMaxDevAppend);
  u32("MaxDevInsert", FMaxDevInsert);
  u32("MaxDevDelete", FMaxDevDelete);
  u32("MaxDevSubstitute", FMaxDevSubstitute);
  List.Component("Memo", [this] { return FMemo; },
                 [this](TComponent* c) { SetMemo(dynamic_cast<TCustomMemo*>(c)); });
  List.Enum<TSortMethod>("SortMethod1", [this] { return FSortMethod1; },
                         [this](TSortMethod v) { SetSortMethod1(v); }, sort_names);
  List.Enum<TSortMethod>("SortMethod2", [this] { return FSortMethod2; },
                         [this](TSortMethod v) { SetSortMethod2(v); }, sort_names);
  List.Component("CheckDialog", [this] { return FCheckDialog; },
                 [this](TComponent* c) { SetCheckDialog(dynamic_cast<TCustomSpellCheckDlg*>(c)); });
  u32("SuggestionLimit", FSuggestionLimit);
  // Stored only when it is not the default, so forms written before it
  // existed read and write as they did.
  List.Enum<TSuggestionRanking>("SuggestionRanking", [this] { return FSuggestionRanking; },
                                [this](TSuggestionRanking v) { SetSuggestionRanking(v); },
                                {"srkSortMethods", "srkLikelihood"})
      .WithDefault(srkSortMethods);
  // Written only when set (empty: English), as forms before it read.
  List.String("Language", [this] { return FLanguage; },
              [this](const std::string& v) { SetLanguage(v); });
  // The suggestions as lines of text.
  List.String(
      "Suggestions",
      [this] {
        std::string text;
        for (const std::string& s : FSuggestions) text += s + "\n";
        return text;
      },
      [this](const std::string& text) {
        FSuggestions.Clear();
        std::size_t start = 0;
        while (start < text.size()) {
          const std::size_t end = text.find('\n', start);
          FSuggestions.Add(text.substr(start, end == std::string::npos ? end : end - start));
          if (end == std::string::npos) break;
          start = end + 1;
        }
      });
}

}  // namespace wordloom
