// The tool's dictionaries and texts: which dictionary a command uses, opening
// and saving it with failures reported as one line, and reading input whole.
// Also the exit statuses and the error every subcommand raises.
#pragma once

#include <stdexcept>
#include <iosfwd>
#include <fstream>
#include <string>
#include <string_view>
#include <memory>
#include <utility>
#include <vector>

#include <wordloom/wordloom.h>

#include "terminal_services.h"

namespace wordloom::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitMisspelled = 1;
inline constexpr int kExitError = 2;

// Text as an error line shows it: every byte that is no printable text (a
// control byte, DEL, a byte of no valid UTF-8 sequence) as \xHH, so that a
// message stays one line and never echoes binary data to the terminal.
std::string PrintableText(std::string_view Text);
// Writes "wordloom: MESSAGE" (made printable) as one line to Err; returns
// kExitError, the status of every failure.
int ReportError(std::ostream& Err, std::string_view Message);

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

// The folders the tool finds dictionaries in by name (StandardDictionaryFolders
// for this program).
const DictionaryFolders& ToolDictionaryFolders();

// The dictionary file of a command that reads one: Given (a path or a name),
// else DefaultDictionary(), found by FindDictionary. CliError when none
// exists, when Given lists several, or when only a Hunspell dictionary of
// that name is installed.
std::string ResolveDictionary(const std::string& Given);

// The dictionaries a checking command (check, suggest, the pipe) uses, opened:
// Given lists one or more by path or name ("en_US,en_GB"), default
// DefaultDictionary(). CliError names the one missing or not opened.
class ToolDictionaries {
 public:
  ToolDictionaries(const std::string& Given, TerminalServices& Services);
  DictionarySet& Set() { return FSet; }
  ToolChecker& Primary() { return *FCheckers.front(); }
  // The first dictionary was given as one file by path ("-d book.spl"): the
  // words a user adds in `check --interactive` go into it, as they always did.
  bool GivenAsPath() const { return FGivenAsPath; }
  const std::string& PrimaryPath() const { return FPrimaryPath; }
  // The personal word list, loaded, its words known to Set(): Explicit (-p)
  // when given, else the one of the first dictionary's name in the user's
  // data folder (PersonalListPath), whose folder a save makes. CliError for
  // a file that is no word list.
  PersonalWordList LoadPersonalList(const std::string& Explicit);

 private:
  std::vector<std::unique_ptr<ToolChecker>> FCheckers;
  DictionarySet FSet;
  std::string FPrimaryName;
  std::string FPrimaryPath;
  bool FGivenAsPath = false;
};

// Prints the dictionaries available by name (`-D`): one a line, "NAME<TAB>FILE",
// for a Hunspell dictionary not yet imported (FILE its .dic) then
// "<TAB>Hunspell, to import into CACHE", and "<TAB>aliases: A, B" when the
// name has aliases.
int RunListDictionaries(std::ostream& Out);

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

// Refuses (CliError) a command that would read standard input ("-") for more
// than one of Inputs (what it names: files, dictionaries, the password file,
// the protocol): the first would take it all. Holder names a use that has
// standard input in any case ("the commands"), or is empty.
void CheckStandardInputUses(const std::vector<std::pair<std::string, std::string>>& Inputs,
                            const std::string& Holder = std::string());

// A text argument as a stream, read in pieces rather than held whole:
// standard input for "-", else File, opened with the checks ReadInput makes.
class InputFile {
 public:
  explicit InputFile(const std::string& File);
  std::istream& Stream() { return *FStream; }

 private:
  std::ifstream FFile;
  std::istream* FStream;
};

// File as messages name it: "<stdin>" for "-".
std::string DisplayName(const std::string& File);

}  // namespace wordloom::cli
