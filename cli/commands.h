// The subcommands of the wordloom tool. Each takes its parsed options, works
// through the library, prints to the streams it is given and returns the exit
// status: 0 done, 1 misspellings found, 2 a usage or input/output error
// (raised as CliError, whose message main prints as one line on stderr).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary_files.h"

namespace wordloom::cli {


// A word of a text that the dictionary does not know; Line and Column count
// from 1, Column in characters (UTF-8 continuation bytes do not count).
struct UnknownWord {
  std::size_t Line = 0;
  std::size_t Column = 0;
  // The word as it stands in the text.
  std::string Word;
  // The word as the dictionary spells it (NFC, typographic apostrophes
  // folded: UnicodeWord::Lookup): what to correct.
  std::string Spelling;
};

// The words of the UTF-8 Text (FindUnicodeWords: no URLs, e-mail addresses
// or words with digits; in Mode, no markup: FindProseWords) that the
// dictionaries do not know (DictionarySet::IsKnown).
std::vector<UnknownWord> FindUnknownWords(DictionarySet& Dictionaries, std::string_view Text,
                                          bool CaseSensitive, MarkupMode Mode = MarkupMode::kPlain);

// FindUnknownWords over a stream, read in pieces of at most MaxPiece bytes
// (TextPieceReader) so that memory does not grow with the text: Found gets
// each unknown word in turn. Name is the input as messages name it ("-" for
// standard input); CliError for a NUL byte (binary input) or a read error.
void ForEachUnknownWord(DictionarySet& Dictionaries, std::istream& In, const std::string& Name,
                        bool CaseSensitive, MarkupMode Mode,
                        const std::function<void(const UnknownWord&)>& Found,
                        std::size_t MaxPiece = TextPieceReader::kDefaultMaxPiece);

struct LearnOptions {
  std::vector<std::string> Files;
  std::string Output;
  std::string CountsFile;
  std::uint32_t FixedBlock = 0;  // 0: text input
  int EncodedSize = -1;          // -1: keep (new dictionaries: 0)
  int Delimiter = -1;            // -1: keep (new: exclude), else a TWLDelimiterOptions
  // A new dictionary reads UTF-8 text (bytes from 128 up are letters) unless
  // Bytes; an existing one keeps its delimiters unless Utf8 or Bytes is given.
  bool Utf8 = false;
  bool Bytes = false;
  bool Protect = false;
};

struct CheckOptions {
  std::vector<std::string> Files;
  // One or more dictionaries by path or name ("en_US,en_GB").
  std::string Dictionary;
  // The personal word list (-p); empty: the one of the dictionary's name.
  std::string Personal;
  std::size_t MaxSuggestions = 10;
  bool CaseSensitive = false;
  TSuggestionRanking Ranking = srkLikelihood;
  // The markup whose commands are not checked; unless ModeGiven, each file's
  // own by its extension (MarkupModeForFile).
  MarkupMode Mode = MarkupMode::kPlain;
  bool ModeGiven = false;

  // The markup mode File is checked in.
  MarkupMode ModeFor(const std::string& File) const {
    return ModeGiven ? Mode : MarkupModeForFile(File);
  }
};

int RunLearn(const LearnOptions& Options, TerminalServices& Services);
// Prints "word<TAB>count" for every word of Files to Out, sorted by word
// (bytes); Utf8: bytes from 128 up are letters, else the default delimiters.
int RunCount(const std::vector<std::string>& Files, bool Utf8, TerminalServices& Services,
             std::ostream& Out);
// Prints "FILE:LINE:COLUMN: WORD: suggestion, ..." to Out for every unknown
// word of Options.Files; 1 when there is any.
int RunCheck(const CheckOptions& Options, TerminalServices& Services, std::ostream& Out);
// Prints "WORD: suggestion, ..." or "WORD: (correct)" to Out; 1 when any
// word is unknown.
int RunSuggest(const std::vector<std::string>& Words, const CheckOptions& Options,
               TerminalServices& Services, std::ostream& Out);
// Prints the words from From to To (both included) to Out, one a line.
int RunList(const std::string& Dictionary, const std::string& From, const std::string& To,
            TerminalServices& Services, std::ostream& Out);
// Adds (Add) or deletes Words and saves the dictionary; Add creates a
// missing dictionary. A word to delete that is not there is reported on Err.
int RunModify(const std::string& Dictionary, const std::vector<std::string>& Words, bool Add,
              TerminalServices& Services, std::ostream& Err);
// Prints the dictionary's settings and sizes to Out.
int RunInfo(const std::string& Dictionary, TerminalServices& Services, std::ostream& Out);
// Encodes (Encode) or decodes In into Out, which FileWriter replaces only when
// complete. "-" as In reads Input, as Out writes Output. The file has the
// tool's header (WriteEncodedFile); Raw: the library's plain stream without
// it, as earlier versions wrote (a text it would not give back is refused).
int RunCode(const std::string& Dictionary, const std::string& In, const std::string& Out,
            bool Encode, TerminalServices& Services, std::istream& Input, std::ostream& Output,
            bool Raw = false);

}  // namespace wordloom::cli
