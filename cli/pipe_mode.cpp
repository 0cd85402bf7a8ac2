#include "pipe_mode.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>
#include <system_error>
#include <unordered_set>

#include "dictionary_files.h"
#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/file_writer.h"

namespace wordloom::cli {

namespace {

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
  };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// The argument of a one-word command: the first blank-separated token after
// the command character.
std::string CommandWord(std::string_view line) {
  std::string_view rest = Trim(line.substr(1));
  const std::size_t end = rest.find_first_of(" \t");
  return std::string(rest.substr(0, end));
}

// The words of Piece, a line or a part of a long one, from byte From on,
// masked by Masker (which carries markup on from the pieces before); offsets
// count characters from the start of the line, CharsBefore of them before
// Piece.
std::vector<PipeWord> WordsOfPiece(std::string_view Piece, std::size_t From, bool EndsLine,
                                   std::size_t CharsBefore, MarkupMasker& Masker) {
  std::vector<PipeWord> words;
  From = std::min(From, Piece.size());
  std::string text(Piece.substr(From));
  if (EndsLine) text += '\n';
  std::string masked = Masker.Mask(text);
  if (EndsLine) masked.pop_back();
  // Characters before byte `offset`, counted on from the last word.
  std::size_t chars = CharsBefore + CharacterCount(Piece.substr(0, From)), offset = From;
  for (UnicodeWord& w : FindUnicodeWords(masked)) {
    const std::size_t start = From + w.Offset;
    chars += CharacterCount(Piece.substr(offset, start - offset));
    offset = start;
    words.push_back({std::string(Piece.substr(start, w.Length)), std::move(w.Lookup), chars});
  }
  return words;
}

class PipeSession {
 public:
  PipeSession(TVelkSpellChecker& Checker, std::ostream& Out, std::ostream& Err,
              const PipeOptions& Options)
      : FChecker(Checker),
        FOut(Out),
        FErr(Err),
        FOptions(Options),
        FTerse(Options.Terse),
        FMasker(Options.Mode),
        FSuggestions(Checker, kMaxPipeSuggestions, Options.CaseSensitive) {}

  int Run(std::istream& In) {
    // A dictionary without a root can neither be searched nor learn words.
    if (FChecker.NodeCount() == 0) FChecker.InitFirstSpellNode();
    if (!FOptions.PersonalFile.empty()) {
      for (const std::string& w : LoadPersonal(FOptions.PersonalFile)) AddPersonal(w);
    }
    if (!FOptions.ListMode) {
      FOut << "@(#) International Ispell Version 3.2.06 (but really Wordloom";
      if (!FOptions.Version.empty()) FOut << ' ' << FOptions.Version;
      FOut << ")\n";
      FOut.flush();
    }
    // A line comes in pieces of bounded size; a long one is checked part by
    // part, its offsets counted on.
    TextPieceReader reader(In, FOptions.MaxPiece);
    std::string piece;
    bool line_start = true;
    bool text_line = false;     // the line is text to check, not a command
    std::size_t from = 0;       // where its text starts in its first piece
    std::size_t chars = 0;      // characters of the line before this piece
    while (reader.Next(piece)) {
      const bool ends_line = reader.EndsLine();
      if (ends_line && !piece.empty() && piece.back() == '\n') piece.pop_back();
      if (ends_line && !piece.empty() && piece.back() == '\r') piece.pop_back();
      if (line_start) {
        from = 0;
        text_line = FOptions.ListMode || Command(piece, from);
      }
      if (text_line) {
        const std::vector<PipeWord> words =
            WordsOfPiece(piece, line_start ? from : 0, ends_line, chars, FMasker);
        if (FOptions.ListMode) {
          ListWords(words);
        } else {
          CheckWords(words);
        }
      }
      chars += CharacterCount(piece);
      if (ends_line) {
        if (text_line && !FOptions.ListMode) FOut << '\n';
        chars = 0;
      }
      line_start = ends_line;
      FOut.flush();
    }
    if (reader.Failed()) FStatus = 1;
    if (!FOut) FStatus = 1;
    return FStatus;
  }

 private:
  // Carries out the command Line starts with; true when Line is text to
  // check, from From on ("^" and lines that start with no command).
  bool Command(const std::string& line, std::size_t& from) {
    if (line.empty()) return true;
    switch (line.front()) {
      case '^':
        from = 1;
        return true;
      case '*':
        AddPersonal(CommandWord(line));
        return false;
      case '&':
        AddPersonal(LowerCase(CommandWord(line)));
        return false;
      case '@': {
        const std::string w = CommandWord(line);
        if (!w.empty()) FSession.insert(w);
        return false;
      }
      case '#':
        Save();
        return false;
      case '!':
        FTerse = true;
        return false;
      case '%':
        FTerse = false;
        return false;
      case '+':
        // TeX mode, as ispell switches on "+" (what follows is ignored).
        FMasker = MarkupMasker(MarkupMode::kTex);
        return false;
      case '-':
        // Back to the session's own mode, or plain text if that was TeX.
        FMasker = MarkupMasker(FOptions.Mode == MarkupMode::kTex ? MarkupMode::kPlain
                                                                 : FOptions.Mode);
        return false;
      case '~':
        return false;
      case '$':
        return !(line.size() > 1 && line[1] == '$');
      default:
        return true;
    }
  }

  void CheckWords(const std::vector<PipeWord>& words) {
    for (const PipeWord& w : words) {
      if (IsKnown(w.Lookup)) {
        if (!FTerse) FOut << "*\n";
        continue;
      }
      const std::vector<std::string>& suggestions = FSuggestions.For(w.Lookup);
      if (suggestions.empty()) {
        FOut << "# " << w.Text << ' ' << w.Offset << '\n';
        continue;
      }
      FOut << "& " << w.Text << ' ' << suggestions.size() << ' ' << w.Offset << ':';
      for (std::size_t i = 0; i < suggestions.size(); ++i) {
        FOut << (i == 0 ? " " : ", ") << InWritersApostrophes(suggestions[i], w.Text);
      }
      FOut << '\n';
    }
  }

  void ListWords(const std::vector<PipeWord>& words) {
    for (const PipeWord& w : words) {
      if (!IsKnown(w.Lookup)) FOut << w.Text << '\n';
    }
  }

  // A dictionary word in some case, or one accepted for this session ("@").
  bool IsKnown(const std::string& w) {
    return IsKnownWord(FChecker, w, FOptions.CaseSensitive,
                       [this](const std::string& s) { return FSession.count(s) != 0; });
  }

  void AddPersonal(const std::string& w) {
    if (w.empty()) return;
    if (FChecker.Frequency(w) == 0) {
      try {
        FChecker.AddToSpell(w);
      } catch (const std::exception& e) {
        // A word the dictionary refuses (one holding its format character)
        // stays unknown; the session goes on.
        ReportError(FErr, "cannot add \"" + w + "\": " + e.what());
        return;
      }
    }
    FSuggestions.Clear();
    if (FPersonalSeen.insert(w).second) FPersonal.push_back(w);
  }

  void Save() {
    if (FOptions.PersonalFile.empty()) return;
    try {
      SavePersonal(FOptions.PersonalFile, FPersonal);
    } catch (const Exception& e) {
      ReportError(FErr, std::string("cannot write the personal dictionary: ") + e.what());
      FStatus = 1;
    }
  }

  TVelkSpellChecker& FChecker;
  std::ostream& FOut;
  std::ostream& FErr;
  const PipeOptions& FOptions;
  bool FTerse;
  // The session's markup, carried from line to line; "+" and "-" switch TeX
  // mode on and off.
  MarkupMasker FMasker;
  // Corrections once per word; a word added to the dictionary clears them.
  SuggestionCache FSuggestions;
  int FStatus = 0;
  std::unordered_set<std::string> FSession;
  std::vector<std::string> FPersonal;  // in the order they were added
  std::unordered_set<std::string> FPersonalSeen;
};

}  // namespace

std::vector<PipeWord> SplitWords(std::string_view Line, std::size_t From, MarkupMode Mode) {
  MarkupMasker masker(Mode);
  return WordsOfPiece(Line, From, true, 0, masker);
}

std::vector<std::string> LoadPersonal(const std::string& File) {
  std::vector<std::string> words;
  std::ifstream in(File, std::ios::binary);
  if (!in) return words;
  std::string line;
  while (std::getline(in, line)) {
    // Saving the list rewrites the file: one that is no word list (a program,
    // an image) is refused instead of being replaced by the words found in it.
    if (line.find('\0') != std::string::npos) {
      throw CliError(File + ": binary data (a NUL byte), not a personal word list");
    }
    const std::string_view w = Trim(line);
    if (!w.empty()) words.emplace_back(w);
  }
  return words;
}

void SavePersonal(const std::string& File, const std::vector<std::string>& Words) {
  std::string text;
  for (const std::string& w : Words) text += w + '\n';
  FileWriter().SaveBytes(File, text);
}

int RunPipe(TVelkSpellChecker& Checker, std::istream& In, std::ostream& Out, std::ostream& Err,
            const PipeOptions& Options) {
  // The session sets the ranking and the limit it needs; the caller's
  // settings come back afterwards, also when the session fails.
  struct Restore {
    TVelkSpellChecker& Checker;
    TSuggestionRanking Ranking;
    std::uint32_t Limit;
    ~Restore() {
      Checker.SetSuggestionRanking(Ranking);
      Checker.SetSuggestionLimit(Limit);
    }
  } restore{Checker, Checker.SuggestionRanking(), Checker.SuggestionLimit()};
  Checker.SetSuggestionRanking(Options.Ranking);
  PipeSession session(Checker, Out, Err, Options);
  return session.Run(In);
}

}  // namespace wordloom::cli
