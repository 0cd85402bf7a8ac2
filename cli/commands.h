// The subcommands of the wordloom tool. Each takes its parsed options, works
// through the library and returns the exit status: 0 done, 1 misspellings
// found, 2 a usage or input/output error (raised as CliError, whose message
// main prints as one line on stderr).
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <wordloom/wordloom.h>

#include "terminal_services.h"

namespace wordloom::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitMisspelled = 1;
inline constexpr int kExitError = 2;

// A failure reported as "wordloom: MESSAGE" with exit status 2.
class CliError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The checker as the tool uses it: no questions before opening or saving
// (the tool opens and saves only when told to), suggestions of equal
// distance ordered by frequency.
class ToolChecker : public TVelkSpellChecker {
 public:
  explicit ToolChecker(bool ShowProgress);
  // Makes the next SaveSpellFile write the file even when only frequencies
  // changed (which the component does not count as a modification).
  void MarkModified() { FSpellModified = true; }
};

// The dictionary to use: Given, else $WORDLOOM_DICT, else the default English
// dictionary beside the program (build tree) or in its share/wordloom folder.
// CliError when none exists.
std::string ResolveDictionary(const std::string& Given);

// Opens Path into Checker; CliError naming the file and the reason (missing,
// corrupt, wrong or missing password).
void OpenDictionary(ToolChecker& Checker, const std::string& Path, TerminalServices& Services);
// Saves Checker to Path (by way of a temporary file renamed over it), with a
// password when Protect; CliError when nothing was written.
void SaveDictionary(ToolChecker& Checker, const std::string& Path, bool Protect,
                    TerminalServices& Services);

// The bytes of File ("-": standard input). CliError when it cannot be read,
// and, when Text, when it holds a NUL byte (binary input).
std::string ReadInput(const std::string& File, bool Text);

// True when Word is a dictionary word; unless CaseSensitive, also when it has
// a capital first letter and its lower-case form is known, or is all
// capitals and its capitalised form is known.
bool IsKnownWord(ToolChecker& Checker, const std::string& Word, bool CaseSensitive);

// Up to Limit corrections for Word, in the checker's ranking (the likelihood
// ranking unless --ranking sort-methods), in the capitalisation of Word;
// Word itself is left out.
std::vector<std::string> SuggestFor(ToolChecker& Checker, const std::string& Word,
                                    std::size_t Limit, bool CaseSensitive);

// A word of a text that the dictionary does not know; Line and Column count
// from 1, Column in characters (UTF-8 continuation bytes do not count).
struct UnknownWord {
  std::size_t Line = 0;
  std::size_t Column = 0;
  std::string Word;
};

// Cuts Text into words with the dictionary's tokenizer and returns those it
// does not know. Apostrophes around a word are not part of it; a word
// without any letter is skipped.
std::vector<UnknownWord> FindUnknownWords(ToolChecker& Checker, std::string_view Text,
                                          bool CaseSensitive);

struct LearnOptions {
  std::vector<std::string> Files;
  std::string Output;
  std::string CountsFile;
  std::uint32_t FixedBlock = 0;  // 0: text input
  int EncodedSize = -1;          // -1: keep (new dictionaries: 0)
  int Delimiter = -1;            // -1: keep (new: exclude), else a TWLDelimiterOptions
  bool Utf8 = false;
  bool Protect = false;
};

struct CheckOptions {
  std::vector<std::string> Files;
  std::string Dictionary;
  std::size_t MaxSuggestions = 10;
  bool CaseSensitive = false;
  TSuggestionRanking Ranking = srkLikelihood;
};

int RunLearn(const LearnOptions& Options, TerminalServices& Services);
// Prints "word<TAB>count" for every word of Files, sorted by word (bytes).
int RunCount(const std::vector<std::string>& Files, bool Utf8, TerminalServices& Services);
int RunCheck(const CheckOptions& Options, TerminalServices& Services);
// Checks each of Options.Files word by word in a dialog: every unknown word is
// shown on Prompts in its line with numbered corrections, and one command line
// is read from Commands for it (docs/cli.md). A changed file is replaced as a
// whole (temporary file renamed over it); words added go to Options.Dictionary
// when one was given. 'q' or the end of Commands ends the session, keeping the
// changes made so far. Exit status 0.
int RunInteractiveCheck(const CheckOptions& Options, TerminalServices& Services,
                        std::istream& Commands, std::ostream& Prompts);
int RunSuggest(const std::vector<std::string>& Words, const CheckOptions& Options,
               TerminalServices& Services);
int RunList(const std::string& Dictionary, const std::string& From, const std::string& To,
            TerminalServices& Services);
// Adds (Add) or deletes Words and saves the dictionary; Add creates a
// missing dictionary.
int RunModify(const std::string& Dictionary, const std::vector<std::string>& Words, bool Add,
              TerminalServices& Services);
int RunInfo(const std::string& Dictionary, TerminalServices& Services);
// Encodes (Encode) or decodes In into Out, which is replaced only when complete.
int RunCode(const std::string& Dictionary, const std::string& In, const std::string& Out,
            bool Encode, TerminalServices& Services);

}  // namespace wordloom::cli
