#include "language_speller.h"

#include <exception>

namespace wordloom::integrations {

namespace {

// A word as a personal list can hold it: one line, no NUL byte.
bool IsStorableWord(std::string_view word) {
  return !word.empty() &&
         word.find_first_of(std::string_view("\n\r\0", 3)) == std::string_view::npos;
}

}  // namespace

LanguageSpeller::LanguageSpeller(std::string Tag, const std::string& DictionaryFile,
                                 std::string PersonalFile, PersonalListUse Use)
    : FTag(std::move(Tag)), FPersonal(std::move(PersonalFile)), FPersonalUse(Use) {
  // No questions before opening: the framework's user asked for a language,
  // not for a file, and nothing is saved into the dictionary.
  FChecker.SetSpellFileOptions({});
  FChecker.SetSuggestionRanking(srkLikelihood);
  // Each application that spells through the framework opens the dictionary
  // anew: through its compact form in the user's cache that costs no more
  // than mapping it.
  FChecker.SetCompactFormFolder(DefaultCompactFormFolder());
  std::error_code ec;
  if (!std::filesystem::is_regular_file(DictionaryFile, ec)) {
    throw EFOpenError(DictionaryFile + ": no such dictionary");
  }
  FChecker.SetLanguage(DictionaryLanguage(DictionaryFile));
  FChecker.OpenSpellFile(DictionaryFile);
  if (FChecker.SpellFileName() != DictionaryFile) {
    throw EFOpenError(DictionaryFile + ": cannot open (protected by a password?)");
  }
  if (FChecker.NodeCount() == 0) FChecker.InitFirstSpellNode();
  FDictionaries.Add(FChecker);
  FPersonal.SetMakeFolder(true);
  FPersonal.Load();
  for (const std::string& word : FPersonal.Words()) Know(word);
}

void LanguageSpeller::LoadPersonalWords(const std::string& File) {
  std::lock_guard<std::mutex> hold(FLock);
  PersonalWordList other(File);
  other.Load();
  for (const std::string& word : other.Words()) Know(word);
}

bool LanguageSpeller::IsCorrect(std::string_view Word) {
  std::lock_guard<std::mutex> hold(FLock);
  for (const UnicodeWord& w : FindProseWords(Word, MarkupMode::kPlain)) {
    if (!IsKnown(w.Lookup)) return false;
  }
  return true;
}

std::vector<std::string> LanguageSpeller::Suggest(std::string_view Word, std::size_t Limit) {
  std::lock_guard<std::mutex> hold(FLock);
  std::vector<std::string> corrections;
  for (const UnicodeWord& w : FindProseWords(Word, MarkupMode::kPlain)) {
    if (IsKnown(w.Lookup)) continue;
    const std::string_view typed = Word.substr(w.Offset, w.Length);
    const std::string_view before = Word.substr(0, w.Offset);
    const std::string_view after = Word.substr(w.Offset + w.Length);
    for (const std::string& s : FDictionaries.Suggestions(w.Lookup, Limit, false)) {
      std::string correction(before);
      correction += InWritersApostrophes(s, typed);
      correction += after;
      corrections.push_back(std::move(correction));
    }
    break;
  }
  return corrections;
}

void LanguageSpeller::AddToSession(std::string_view Word) {
  std::lock_guard<std::mutex> hold(FLock);
  if (IsStorableWord(Word)) FSession.insert(LookupForm(Word));
}

void LanguageSpeller::AddToPersonal(std::string_view Word) {
  std::lock_guard<std::mutex> hold(FLock);
  if (!IsStorableWord(Word)) return;
  const std::string word = LookupForm(Word);
  Know(word);
  if (FPersonal.Add(word) && FPersonalUse == PersonalListUse::kReadWrite) FPersonal.Save();
}

bool LanguageSpeller::IsKnown(const std::string& Lookup) {
  return FDictionaries.IsKnown(Lookup, false,
                               [this](const std::string& w) { return FSession.count(w) != 0; });
}

void LanguageSpeller::Know(const std::string& Word) {
  try {
    FDictionaries.AddPersonalWord(Word);
  } catch (const std::exception&) {
    // A word the dictionary cannot hold (one with its format character) is
    // accepted as a session word all the same.
    FSession.insert(Word);
  }
}

}  // namespace wordloom::integrations
