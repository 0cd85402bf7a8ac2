// One language's dictionary as a spelling framework sees it: words come from
// the application one at a time, in UTF-8, already cut out of the text by
// the framework. Whether a word passes and the order and case of its
// corrections are the library's rules, the same as `wordloom -a` applies
// (spelling_rules.h, markup.h); this class only holds a session's state:
// the opened dictionary, the words accepted for the session and the user's
// personal words.
//
//   LanguageSpeller speller("en_US", FindLanguage("en_US"), PersonalListFile("en_US"));
//   speller.IsCorrect("recieve");        // false
//   speller.Suggest("recieve", 10);      // "receive", ...
//   speller.AddToPersonal("Wordloom");   // known now, and in the next session
//
// Every method is safe to call from several threads.
#pragma once

#include <wordloom/wordloom.h>

#include <cstddef>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace wordloom::integrations {

// Who keeps the personal words across sessions: the speller in its personal
// list file, or the framework (Enchant keeps one list for every provider);
// then the file is only read.
enum class PersonalListUse { kReadWrite, kReadOnly };

class LanguageSpeller {
 public:
  // Opens the spell file DictionaryFile for the language Tag and loads the
  // personal words in PersonalFile when it exists (no file: personal words
  // last for the session only). Raises wordloom::Exception with a one-line
  // message when the dictionary cannot be opened (missing, corrupt,
  // protected by a password) or PersonalFile is no word list.
  LanguageSpeller(std::string Tag, const std::string& DictionaryFile, std::string PersonalFile,
                  PersonalListUse Use = PersonalListUse::kReadWrite);

  const std::string& Tag() const { return FTag; }

  // Whether Word passes: every word of it that the library's word finder
  // sees (none in a number, a URL or punctuation) is known in some
  // capitalisation, accepted for the session or a personal word.
  bool IsCorrect(std::string_view Word);

  // Up to Limit corrections of the first word of Word that does not pass,
  // most likely first, in the writer's case and apostrophes; what Word holds
  // around that word (quotation marks) stays around each correction. Empty
  // when Word passes.
  std::vector<std::string> Suggest(std::string_view Word, std::size_t Limit);

  // Accepts the words of another personal list, File (one a line, as ours),
  // and offers them as corrections; File is never written. A missing file
  // adds nothing; EReadError for a file that is no word list.
  void LoadPersonalWords(const std::string& File);

  // Accepts Word until the speller is closed.
  void AddToSession(std::string_view Word);

  // Accepts Word from now on and offers it as a correction; with kReadWrite
  // also adds it to the personal list file, which is written at once. Raises
  // wordloom::Exception when the file cannot be written; the word is
  // accepted for the session all the same.
  void AddToPersonal(std::string_view Word);

 private:
  bool IsKnown(const std::string& Lookup);
  // Makes Word known and a correction (a personal word of the session).
  void Know(const std::string& Word);

  std::mutex FLock;
  std::string FTag;
  PersonalWordList FPersonal;
  PersonalListUse FPersonalUse;
  TVelkSpellChecker FChecker{nullptr};
  DictionarySet FDictionaries;
  std::unordered_set<std::string> FSession;
};

}  // namespace wordloom::integrations
