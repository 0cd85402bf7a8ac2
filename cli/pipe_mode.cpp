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
        FMode(Options.Mode) {}

  int Run(std::istream& In) {
    for (const std::string& w : FPersonal.Words()) KnowPersonal(w);
    if (!FOptions.ListMode) {
      FOut << "@(#) International Ispell Version 3.2.06 (but really Wordloom";
      if (!FOptions.Version.empty()) FOut << ' ' << FOptions.Version;
      FOut << ")\n";
      FOut.flush();
    }
    std::string line;
    while (std::getline(In, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (FOptions.ListMode) {
        ListLine(line);
      } else {
        PipeLine(line);
      }
      FOut.flush();
    }
    if (!FOut) FStatus = 1;
    return FStatus;
  }

 private:
  void PipeLine(const std::string& line) {
    if (line.empty()) {
      FOut << '\n';
      return;
    }
    switch (line.front()) {
      case '^':
        CheckText(line, 1);
        return;
      case '*':
        AddPersonal(CommandWord(line));
        return;
      case '&':
        AddPersonal(AsciiLower(CommandWord(line)));
        return;
      case '@': {
        const std::string w = CommandWord(line);
        if (!w.empty()) FSession.insert(w);
        return;
      }
      case '#':
        Save();
        return;
      case '!':
        FTerse = true;
        return;
      case '%':
        FTerse = false;
        return;
      case '+':
        // TeX mode, as ispell switches on "+" (what follows is ignored).
        FMode = MarkupMode::kTex;
        return;
      case '-':
        // Back to the session's own mode, or plain text if that was TeX.
        FMode = FOptions.Mode == MarkupMode::kTex ? MarkupMode::kPlain : FOptions.Mode;
        return;
      case '~':
        return;
      case '$':
        if (line.size() > 1 && line[1] == '$') return;
        break;
      default:
        break;
    }
    CheckText(line, 0);
  }

  void CheckText(const std::string& line, std::size_t from) {
    for (const PipeWord& w : SplitWords(line, from, FMode)) {
      if (IsKnown(w.Lookup)) {
        if (!FTerse) FOut << "*\n";
        continue;
      }
      const std::vector<std::string> suggestions =
          FDictionaries.Suggestions(w.Lookup, kMaxPipeSuggestions, FOptions.CaseSensitive);
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
    FOut << '\n';
  }

  void ListLine(const std::string& line) {
    for (const PipeWord& w : SplitWords(line, 0, FMode)) {
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
    if (!w.empty() && KnowPersonal(w)) FPersonal.Add(w);
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
  MarkupMode FMode;  // "+" and "-" switch TeX mode on and off
  int FStatus = 0;
  std::unordered_set<std::string> FSession;
};

}  // namespace

std::vector<PipeWord> SplitWords(std::string_view Line, std::size_t From, MarkupMode Mode) {
  std::vector<PipeWord> words;
  From = std::min(From, Line.size());
  // Characters before byte `offset`, counted on from the last word.
  std::size_t chars = CharacterCount(Line.substr(0, From)), offset = From;
  for (UnicodeWord& w : FindProseWords(Line.substr(From), Mode)) {
    const std::size_t start = From + w.Offset;
    chars += CharacterCount(Line.substr(offset, start - offset));
    offset = start;
    words.push_back({std::string(Line.substr(start, w.Length)), std::move(w.Lookup), chars});
  }
  return words;
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
