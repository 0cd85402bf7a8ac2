// The interactive check: a check dialog on the terminal that shows each
// unknown word in its line and reads one command for it, and the replacement
// of a corrected file.
#include "interactive_check.h"

#include <algorithm>
#include <istream>
#include <memory>
#include <ostream>
#include <string_view>
#include <utility>

#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/file_writer.h"

namespace wordloom::cli {

namespace {

// The check dialog of the interactive check: it shows the word in its line
// with numbered corrections and reads one command line per word. Words the
// tool's own check accepts (known in another capitalisation, quoted with
// apostrophes, without letters) are passed without asking, so that the
// session asks about the words `check` lists.
class TerminalCheckDialog : public TCustomSpellCheckDlg {
 public:
  WORDLOOM_OBJECT(TerminalCheckDialog)

  TerminalCheckDialog(ToolChecker& Checker, DictionarySet& Dictionaries,
                      const CheckOptions& Options, std::istream& Commands, std::ostream& Prompts)
      : TCustomSpellCheckDlg(&Checker),
        FDictionaries(Dictionaries),
        FOptions(Options),
        FCommands(Commands),
        FPrompts(Prompts) {}

  void SetFileName(std::string Value) { FFileName = std::move(Value); }
  // The words the user added ('a'), in order.
  const std::vector<std::string>& Added() const { return FAdded; }
  // Whether the session ended ('q' or the end of the commands).
  bool Cancelled() const { return FCancelled; }

  TCheckResults Execute(TVelkSpellChecker* Checker, std::string& AWord) override {
    if (FCancelled) return crCancel;
    if (AcceptedByTool(*Checker, AWord)) return crIgnoreAll;
    const std::size_t limit = std::min<std::size_t>(FOptions.MaxSuggestions, 10);
    // Quotation marks around the word are no part of it: it is corrected and
    // added without them, and a correction takes its place between them.
    const std::string_view bare = WithoutQuotes(AWord);
    const std::string spelling = FoldApostrophes(bare);
    const std::string opening = AWord.substr(0, static_cast<std::size_t>(bare.data() - AWord.data()));
    const std::string closing = AWord.substr(opening.size() + bare.size());
    const std::vector<std::string> suggestions =
        FDictionaries.Suggestions(spelling, limit, FOptions.CaseSensitive);
    const auto quoted = [&](std::size_t n) {
      return opening + InWritersApostrophes(suggestions[n], bare) + closing;
    };
    ShowWord(*Checker, AWord, suggestions);
    for (;;) {
      FPrompts << "> " << std::flush;
      std::string line;
      if (!std::getline(FCommands, line)) {
        FPrompts << '\n';
        FCancelled = true;
        return crCancel;
      }
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::string command = Trimmed(line);
      if (command.size() == 1 && command[0] >= '0' && command[0] <= '9') {
        const std::size_t n = static_cast<std::size_t>(command[0] - '0');
        if (n < suggestions.size()) {
          AWord = quoted(n);
          return crReplace;
        }
        FPrompts << "no correction " << n << '\n';
        continue;
      }
      if (command == "a") {
        FAdded.push_back(spelling);
        AWord = spelling;
        return crAdd;
      }
      if (command == "i") return crIgnore;
      if (command == "I") return crIgnoreAll;
      if (command == "o") return crOptions;
      if (command == "q") {
        FCancelled = true;
        return crCancel;
      }
      if (command.size() > 2 && (command[0] == 'r' || command[0] == 'R') &&
          (command[1] == ' ' || command[1] == '\t')) {
        std::string text = Trimmed(command.substr(2));
        if (command[0] == 'R' && text.size() == 1 && text[0] >= '0' && text[0] <= '9') {
          const std::size_t n = static_cast<std::size_t>(text[0] - '0');
          if (n >= suggestions.size()) {
            FPrompts << "no correction " << n << '\n';
            continue;
          }
          text = quoted(n);
        }
        if (!text.empty()) {
          AWord = std::move(text);
          return command[0] == 'r' ? crReplace : crReplaceAll;
        }
      }
      FPrompts << "unknown command '" << command << "'\n" << kHelp;
    }
  }

 private:
  static constexpr const char* kHelp =
      "0-9 replace by that correction, r TEXT replace, R TEXT or R N replace all,\n"
      "a add to the dictionary, i ignore, I ignore all, o options, q quit\n";

  static std::string Trimmed(const std::string& s) {
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    const std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
  }

  // Where Word, just cut by the checker's pass, starts in Text: before the
  // caret, which stands after it (and the delimiter that ended it).
  static std::size_t WordStart(const std::string& Text, const TVelkSpellChecker& Checker,
                               const std::string& Word) {
    const std::size_t caret = std::min<std::size_t>(
        static_cast<std::size_t>(std::max(0, Checker.Memo()->SelStart())), Text.size());
    if (Word.empty() || caret < Word.size()) return caret;
    const std::size_t at = Text.rfind(Word, caret - Word.size());
    return at == std::string::npos ? caret : at;
  }

  // Whether plain `check` passes the place of Word: no word it finds in
  // Word's line (FindUnicodeWords, so URLs, e-mail addresses and numbers
  // are left out) that overlaps Word is unknown. The pass cuts with the
  // dictionary's byte delimiters, so Word may be a piece of a URL or words
  // glued by a dash.
  bool AcceptedByTool(const TVelkSpellChecker& Checker, const std::string& Word) const {
    const std::string text = Checker.Memo() != nullptr ? Checker.Memo()->Text() : std::string();
    std::size_t start = Checker.Memo() != nullptr ? WordStart(text, Checker, Word) : 0;
    std::string_view line(text);
    if (Checker.Memo() != nullptr && text.compare(start, Word.size(), Word) == 0) {
      const std::size_t line_start = start == 0 ? std::string::npos : text.rfind('\n', start - 1);
      const std::size_t from = line_start == std::string::npos ? 0 : line_start + 1;
      const std::size_t to = std::min(text.find('\n', start), text.size());
      line = line.substr(from, to - from);
      start -= from;
    } else {
      line = Word;
      start = 0;
    }
    const std::size_t end = start + Word.size();
    for (const UnicodeWord& w : FindProseWords(line, FOptions.ModeFor(FFileName))) {
      if (w.Offset < end && w.Offset + w.Length > start &&
          !FDictionaries.IsKnown(w.Lookup, FOptions.CaseSensitive)) {
        return false;
      }
    }
    return true;
  }

  // "FILE:LINE:COLUMN: WORD", the line with the word marked, the corrections.
  void ShowWord(const TVelkSpellChecker& Checker, const std::string& Word,
                const std::vector<std::string>& Suggestions) {
    const std::string text = Checker.Memo()->Text();
    const std::size_t start = WordStart(text, Checker, Word);
    const std::size_t line_start = text.rfind('\n', start == 0 ? 0 : start - 1);
    const std::size_t from = (line_start == std::string::npos || start == 0) ? 0 : line_start + 1;
    std::size_t to = text.find('\n', start);
    if (to == std::string::npos) to = text.size();
    const std::size_t line_no =
        1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + from, '\n'));
    std::string line = text.substr(from, to - from);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string marker;
    std::size_t column = 1;
    for (std::size_t i = from; i < start; ++i) {
      if (IsUtf8ContinuationByte(text[i])) continue;
      ++column;
      marker += text[i] == '\t' ? '\t' : ' ';
    }
    for (char c : Word) {
      if (!IsUtf8ContinuationByte(c)) marker += '^';
    }
    FPrompts << DisplayName(FFileName) << ':' << line_no << ':' << column << ": " << Word << '\n'
             << "  " << line << '\n'
             << "  " << marker << '\n';
    if (Suggestions.empty()) {
      FPrompts << "  (no corrections)\n";
    } else {
      for (std::size_t i = 0; i < Suggestions.size(); ++i) {
        FPrompts << "  " << i << ") " << Suggestions[i] << '\n';
      }
    }
  }

  DictionarySet& FDictionaries;
  const CheckOptions& FOptions;
  std::istream& FCommands;
  std::ostream& FPrompts;
  std::string FFileName;
  std::vector<std::string> FAdded;
  bool FCancelled = false;
};

// Replaces File by Text through FileWriter: a link is followed, and a
// failure leaves File as it was.
void ReplaceFile(const std::string& File, const std::string& Text) {
  try {
    FileWriter().SaveBytes(File, Text);
  } catch (const Exception& e) {
    throw CliError(File + ": not written: " + e.what());
  }
}

}  // namespace

int RunInteractiveCheck(const CheckOptions& Options, TerminalServices& Services,
                        std::istream& Commands, std::ostream& Prompts) {
  for (const std::string& file : Options.Files) {
    if (file == "-") throw CliError("check --interactive needs files; standard input holds the commands");
  }
  CheckStandardInputUses({{"the dictionary", Options.Dictionary},
                          {"the password", Services.PasswordFile()}},
                         "the commands");
  ToolDictionaries dictionaries(Options.Dictionary, Services);
  dictionaries.Set().SetSuggestionRanking(Options.Ranking);
  PersonalWordList personal = dictionaries.LoadPersonalList(Options.Personal);
  ToolChecker& checker = dictionaries.Primary();
  // Owned by the checker, which frees it.
  auto* dialog =
      new TerminalCheckDialog(checker, dictionaries.Set(), Options, Commands, Prompts);
  checker.SetCheckDialog(dialog);
  for (const std::string& file : Options.Files) {
    const std::string original = ReadInput(file, true);
    TStringMemo memo(nullptr);
    memo.SetText(original);
    checker.SetMemo(&memo);
    dialog->SetFileName(file);
    try {
      checker.CheckMemo();
    } catch (const Exception& e) {
      checker.SetMemo(nullptr);
      throw CliError(file + ": " + e.what());
    }
    checker.SetMemo(nullptr);
    const std::string text = memo.Text();
    if (text != original) ReplaceFile(file, text);
    if (dialog->Cancelled()) break;
  }
  // Added words go to the personal list; into the dictionary file only
  // when one was named by path and no list with -p.
  if (!dialog->Added().empty()) {
    if (dictionaries.GivenAsPath() && Options.Personal.empty()) {
      SaveDictionary(checker, dictionaries.PrimaryPath(), checker.IsFileProtected(), Services);
    } else {
      for (const std::string& w : dialog->Added()) personal.Add(w);
      try {
        personal.Save();
      } catch (const Exception& e) {
        throw CliError("cannot write the personal word list: " + std::string(e.what()));
      }
    }
  }
  Prompts.flush();
  return kExitOk;
}

}  // namespace wordloom::cli
