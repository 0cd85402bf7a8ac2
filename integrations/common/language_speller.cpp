#include "language_speller.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "wordloom/platform/file_writer.h"

namespace wordloom::integrations {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The words of a personal list file: one a line, blanks around them, empty
// lines and a leading byte-order mark dropped. A missing file is an empty list.
std::vector<std::string> ReadWordList(const std::string& file) {
  std::vector<std::string> words;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (words.empty() && line.rfind(kByteOrderMark, 0) == 0) line.erase(0, kByteOrderMark.size());
    const std::size_t first = line.find_first_not_of(" \t\r\f\v");
    if (first == std::string::npos) continue;
    const std::size_t last = line.find_last_not_of(" \t\r\f\v");
    words.push_back(line.substr(first, last - first + 1));
  }
  return words;
}

// A word as it stands alone: no line break (it would split the list file) and
// no NUL byte.
bool IsStorableWord(std::string_view word) {
  return !word.empty() &&
         word.find_first_of(std::string_view("\n\r\0", 3)) == std::string_view::npos;
}

}  // namespace

LanguageSpeller::LanguageSpeller(std::string Tag, const std::string& DictionaryFile,
                                 std::string PersonalFile, PersonalListUse Use)
    : FTag(std::move(Tag)), FPersonalFile(std::move(PersonalFile)), FPersonalUse(Use) {
  // No questions before opening: the framework's user asked for a language,
  // not for a file, and nothing is saved into the dictionary.
  FChecker.SetSpellFileOptions({});
  FChecker.SetSuggestionRanking(srkLikelihood);
  std::error_code ec;
  if (!fs::is_regular_file(DictionaryFile, ec)) {
    throw EFOpenError(DictionaryFile + ": no such dictionary");
  }
  FChecker.OpenSpellFile(DictionaryFile);
  if (FChecker.SpellFileName() != DictionaryFile) {
    throw EFOpenError(DictionaryFile + ": cannot open (protected by a password?)");
  }
  if (FChecker.NodeCount() == 0) FChecker.InitFirstSpellNode();
  if (!FPersonalFile.empty()) {
    for (const std::string& word : ReadWordList(FPersonalFile)) {
      if (IsStorableWord(word)) {
        FPersonal.push_back(word);
        Learn(word);
      }
    }
  }
}

void LanguageSpeller::LoadPersonalWords(const std::string& File) {
  std::lock_guard<std::mutex> hold(FLock);
  for (const std::string& word : ReadWordList(File)) {
    if (IsStorableWord(word)) Learn(word);
  }
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
    for (const std::string& s : SuggestionsFor(FChecker, w.Lookup, Limit, false)) {
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
  FSession.insert(word);
  for (const std::string& known : FPersonal) {
    if (known == word) return;
  }
  FPersonal.push_back(word);
  Learn(word);
  SavePersonal();
}

bool LanguageSpeller::IsKnown(const std::string& Lookup) {
  return IsKnownWord(FChecker, Lookup, false,
                     [this](const std::string& w) { return FSession.count(w) != 0; });
}

void LanguageSpeller::Learn(const std::string& Word) {
  // A word the dictionary cannot hold (one with its format character) is
  // still accepted through the session words.
  FSession.insert(Word);
  if (FChecker.Frequency(Word) != 0) return;
  try {
    FChecker.AddToSpell(Word);
  } catch (const Exception&) {
  }
}

void LanguageSpeller::SavePersonal() {
  if (FPersonalFile.empty() || FPersonalUse == PersonalListUse::kReadOnly) return;
  std::error_code ec;
  fs::create_directories(fs::path(FPersonalFile).parent_path(), ec);
  std::string text;
  for (const std::string& w : FPersonal) text += w + '\n';
  FileWriter().SaveBytes(FPersonalFile, text);
}

}  // namespace wordloom::integrations
