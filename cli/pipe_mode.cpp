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

// The argument of a one-word command: the first blank-separated token after
// the command character.
std::string CommandWord(std::string_view line) {
  constexpr std::string_view kBlanks = " \t\r\n\f\v";
  std::string_view rest = line.substr(1);
  rest.remove_prefix(std::min(rest.find_first_not_of(kBlanks), rest.size()));
  return std::string(rest.substr(0, rest.find_first_of(kBlanks)));
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
  PipeSession(DictionarySet& Dictionaries, PersonalWordList& Personal, std::ostream& Out,
              std::ostream& Err, const PipeOptions& Options)
      : FDictionaries(Dictionaries),
        FPersonal(Personal),
        FOut(Out),
        FErr(Err),
        FOptions(Options),
        FTerse(Options.Terse),
        FMasker(Options.Mode),
        FSuggestions(
            [&Dictionaries](const std::string& Word, std::size_t Limit, bool CaseSensitive) {
              return Dictionaries.Suggestions(Word, Limit, CaseSensitive);
            },
            kMaxPipeSuggestions, Options.CaseSensitive) {}

  int Run(std::istream& In) {
    for (const std::string& w : FPersonal.Words()) KnowPersonal(w);
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
    return FDictionaries.IsKnown(w, FOptions.CaseSensitive,
                                 [this](const std::string& s) { return FSession.count(s) != 0; });
  }

  // Makes w known for the session; false when the dictionaries refuse it.
  bool KnowPersonal(const std::string& w) {
    try {
      FDictionaries.AddPersonalWord(w);
      return true;
    } catch (const std::exception& e) {
      // A word the dictionary refuses (one holding its format character)
      // stays unknown; the session goes on.
      ReportError(FErr, "cannot add \"" + w + "\": " + e.what());
      return false;
    }
  }

  void AddPersonal(const std::string& w) {
    if (w.empty() || !KnowPersonal(w)) return;
    FPersonal.Add(w);
    // The word may now be a correction of another.
    FSuggestions.Clear();
  }

  void Save() {
    if (FPersonal.File().empty()) return;
    try {
      FPersonal.Save();
    } catch (const Exception& e) {
      ReportError(FErr, std::string("cannot write the personal dictionary: ") + e.what());
      FStatus = 1;
    }
  }

  DictionarySet& FDictionaries;
  PersonalWordList& FPersonal;
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
};

}  // namespace

std::vector<PipeWord> SplitWords(std::string_view Line, std::size_t From, MarkupMode Mode) {
  MarkupMasker masker(Mode);
  return WordsOfPiece(Line, From, true, 0, masker);
}

std::vector<std::string> LoadPersonal(const std::string& File) {
  PersonalWordList list(File);
  try {
    list.Load();
  } catch (const EReadError& e) {
    throw CliError(e.Message());
  }
  return list.Words();
}

void SavePersonal(const std::string& File, const std::vector<std::string>& Words) {
  PersonalWordList list(File);
  for (const std::string& w : Words) list.Add(w);
  list.Save();
}

int RunPipe(DictionarySet& Dictionaries, PersonalWordList& Personal, std::istream& In,
            std::ostream& Out, std::ostream& Err, const PipeOptions& Options) {
  // The session sets the ranking it needs; the caller's settings come back
  // afterwards, also when the session fails.
  std::vector<TSuggestionRanking> rankings;
  for (std::size_t i = 0; i < Dictionaries.Count(); ++i) {
    rankings.push_back(Dictionaries[i].SuggestionRanking());
  }
  struct Restore {
    DictionarySet& Set;
    const std::vector<TSuggestionRanking>& Rankings;
    ~Restore() {
      for (std::size_t i = 0; i < Rankings.size(); ++i) Set[i].SetSuggestionRanking(Rankings[i]);
    }
  } restore{Dictionaries, rankings};
  Dictionaries.SetSuggestionRanking(Options.Ranking);
  PipeSession session(Dictionaries, Personal, Out, Err, Options);
  return session.Run(In);
}

int RunPipe(TVelkSpellChecker& Checker, std::istream& In, std::ostream& Out, std::ostream& Err,
            const PipeOptions& Options) {
  DictionarySet dictionaries;
  dictionaries.Add(Checker);
  PersonalWordList personal(Options.PersonalFile);
  for (const std::string& w : LoadPersonal(Options.PersonalFile)) personal.Add(w);
  return RunPipe(dictionaries, personal, In, Out, Err, Options);
}

}  // namespace wordloom::cli
