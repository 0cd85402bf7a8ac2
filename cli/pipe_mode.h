// The ispell pipe protocol of the wordloom tool (`wordloom -a`), and its list
// mode (`wordloom -l`), over any pair of streams.
//
//   TVelkSpellChecker checker(nullptr);
//   checker.AddFileToSpell("words.txt");
//   PipeOptions options;
//   options.Version = "0.1.0";
//   int status = RunPipe(checker, std::cin, std::cout, std::cerr, options);
//
// Protocol, one input line at a time:
//   text      every word gets a result line: "*" (known), "& WORD N OFFSET: a, b"
//             (unknown, N suggestions) or "# WORD OFFSET" (unknown, none); an
//             empty line closes the group. OFFSET counts UTF-8 characters from
//             the start of the line as given, a leading command character
//             included.
//   ^text     checks text as it stands, even when it starts with a command character
//   *word     adds word to the personal dictionary; &word adds it in lower case
//   @word     accepts word for this session only
//   #         saves the personal dictionary
//   ! / %     terse mode on / off (terse: known words print nothing)
//   ~ + - $$  accepted and ignored, without output
#pragma once

#include <wordloom/wordloom.h>

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace wordloom::cli {

struct PipeOptions {
  // Start in terse mode (as after "!").
  bool Terse = false;
  // List mode: no header, no commands; each unknown word on a line of its own.
  bool ListMode = false;
  // The personal word list: loaded at the start when it exists, written by "#".
  std::string PersonalFile;
  // When false, a word with a capital first letter is also known through its
  // lower-case form (and an all-capitals word through its capitalised form).
  bool CaseSensitive = false;
  // Shown in the header line.
  std::string Version;
  // The longest piece of a line held at once: a longer line is checked in
  // parts cut at blanks, its offsets counted on (TextPieceReader).
  std::size_t MaxPiece = TextPieceReader::kDefaultMaxPiece;
  // The order of the suggestions ("&" lines).
  TSuggestionRanking Ranking = srkLikelihood;
  // The markup whose commands are not checked, line by line.
  MarkupMode Mode = MarkupMode::kPlain;
};

// The most suggestions one result line carries.
inline constexpr int kMaxPipeSuggestions = 10;

// Runs the protocol: reads lines from In until its end, answers on Out, which
// is flushed after each answer; failures that do not end the session (a word
// the dictionary refuses, a failed save) are reported on Err. Returns the
// exit status: 0, or 1 when a save of the personal dictionary failed.
// Personal words ("*", "&", the list) are known to Dictionaries; "#" saves
// Personal. No dictionary is changed. Options.PersonalFile is not read.
int RunPipe(DictionarySet& Dictionaries, PersonalWordList& Personal, std::istream& In,
            std::ostream& Out, std::ostream& Err, const PipeOptions& Options);
// The same with one dictionary and the personal list Options.PersonalFile
// (LoadPersonal).
int RunPipe(TVelkSpellChecker& Checker, std::istream& In, std::ostream& Out, std::ostream& Err,
            const PipeOptions& Options);

// The words of a personal word list: one a line, surrounding blanks and empty
// lines dropped. Empty when the file does not exist or cannot be read;
// CliError for a file holding a NUL byte (binary data, no word list).
std::vector<std::string> LoadPersonal(const std::string& File);

// Writes Words to File, one a line, through FileWriter: File is replaced only
// once completely written. Raises EWriteError (naming File and the reason) on
// any failure; File is then left as it was.
void SavePersonal(const std::string& File, const std::vector<std::string>& Words);

// One word of a text line: its bytes and its offset in UTF-8 characters.
struct PipeWord {
  std::string Text;    // as it stands in the line
  std::string Lookup;  // as the dictionary spells it (UnicodeWord::Lookup)
  std::size_t Offset = 0;
};

// The words of Line from byte From on, as FindProseWords finds them in Mode.
// Offsets count characters (CharacterCount) from the start of Line, as ispell
// clients expect.
std::vector<PipeWord> SplitWords(std::string_view Line, std::size_t From = 0,
                                 MarkupMode Mode = MarkupMode::kPlain);

}  // namespace wordloom::cli
