#include "pipe_mode.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <istream>
#include <ostream>
#include <system_error>
#include <unordered_set>

namespace wordloom::cli {

namespace {

bool IsAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsAsciiLower(char c) { return c >= 'a' && c <= 'z'; }

// A letter of a word: an ASCII letter, or any byte of a multi-byte UTF-8
// sequence (so every non-ASCII character counts as a letter).
bool IsWordByte(char c) {
  return IsAsciiUpper(c) || IsAsciiLower(c) || static_cast<unsigned char>(c) >= 0x80;
}

// A byte that starts a character: anything but a UTF-8 continuation byte.
bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

std::string AsciiLower(std::string_view w) {
  std::string out(w);
  for (char& c : out) {
    if (IsAsciiUpper(c)) c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string AsciiUpper(std::string_view w) {
  std::string out(w);
  for (char& c : out) {
    if (IsAsciiLower(c)) c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// True when the word has an upper-case ASCII letter and no lower-case one.
bool IsAllCapitals(std::string_view w) {
  return std::any_of(w.begin(), w.end(), IsAsciiUpper) &&
         std::none_of(w.begin(), w.end(), IsAsciiLower);
}

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

class PipeSession {
 public:
  PipeSession(TVelkSpellChecker& checker, std::ostream& out, const PipeOptions& options)
      : checker_(checker), out_(out), options_(options), terse_(options.Terse) {}

  int Run(std::istream& in) {
    // A dictionary without a root can neither be searched nor learn words.
    if (checker_.NodeCount() == 0) checker_.InitFirstSpellNode();
    if (!options_.PersonalFile.empty()) {
      for (const std::string& w : LoadPersonal(options_.PersonalFile)) AddPersonal(w);
    }
    if (!options_.ListMode) {
      out_ << "@(#) International Ispell Version 3.2.06 (but really Wordloom";
      if (!options_.Version.empty()) out_ << ' ' << options_.Version;
      out_ << ")\n";
      out_.flush();
    }
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (options_.ListMode) {
        ListLine(line);
      } else {
        PipeLine(line);
      }
      out_.flush();
    }
    if (!out_) status_ = 1;
    return status_;
  }

 private:
  void PipeLine(const std::string& line) {
    if (line.empty()) {
      out_ << '\n';
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
        if (!w.empty()) session_.insert(w);
        return;
      }
      case '#':
        Save();
        return;
      case '!':
        terse_ = true;
        return;
      case '%':
        terse_ = false;
        return;
      case '~':
      case '+':
      case '-':
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
    for (const PipeWord& w : SplitWords(line, from)) {
      if (IsKnown(w.Text)) {
        if (!terse_) out_ << "*\n";
        continue;
      }
      const std::vector<std::string> suggestions = SuggestionsFor(w.Text);
      if (suggestions.empty()) {
        out_ << "# " << w.Text << ' ' << w.Offset << '\n';
        continue;
      }
      out_ << "& " << w.Text << ' ' << suggestions.size() << ' ' << w.Offset << ':';
      for (std::size_t i = 0; i < suggestions.size(); ++i) {
        out_ << (i == 0 ? " " : ", ") << suggestions[i];
      }
      out_ << '\n';
    }
    out_ << '\n';
  }

  void ListLine(const std::string& line) {
    for (const PipeWord& w : SplitWords(line)) {
      if (!IsKnown(w.Text)) out_ << w.Text << '\n';
    }
  }

  bool KnownAsIs(const std::string& w) {
    return session_.count(w) != 0 || checker_.Frequency(w) > 0;
  }

  bool IsKnown(const std::string& w) {
    if (KnownAsIs(w)) return true;
    if (options_.CaseSensitive || !IsAsciiUpper(w.front())) return false;
    const std::string lower = AsciiLower(w);
    if (KnownAsIs(lower)) return true;
    // "PARIS" is the shouted form of "Paris".
    if (w.size() > 1 && IsAllCapitals(w)) {
      const std::string capitalised = w.substr(0, 1) + lower.substr(1);
      if (KnownAsIs(capitalised)) return true;
    }
    return false;
  }

  // The checker's suggestions, at most kMaxPipeSuggestions, one per word
  // ignoring case. A word with capitals is also looked up in lower case, and
  // those suggestions come first, capitalised or all capitals as the word is.
  std::vector<std::string> SuggestionsFor(const std::string& w) {
    std::vector<std::string> out;
    std::unordered_set<std::string> seen;
    const auto take = [&](const std::string& s) {
      if (out.size() < static_cast<std::size_t>(kMaxPipeSuggestions) && !s.empty() && s != w &&
          seen.insert(AsciiLower(s)).second) {
        out.push_back(s);
      }
    };
    if (checker_.SuggestionRanking() == srkLikelihood) {
      // The ranking keeps the writer's case and looks past it itself; when
      // case counts, only the dictionary's spellings are corrections.
      checker_.SetSuggestionLimit(kMaxPipeSuggestions + 1);
      checker_.Suggest(options_.CaseSensitive ? AsciiLower(w) : w);
      for (const std::string& s : checker_.Suggestions()) take(s);
      return out;
    }
    checker_.SetSuggestionLimit(0);
    const std::string lower = AsciiLower(w);
    if (!options_.CaseSensitive && lower != w) {
      const bool shout = w.size() > 1 && IsAllCapitals(w);
      const bool capitalised = !shout && IsAsciiUpper(w.front());
      checker_.Suggest(lower);
      const TStringList& found = checker_.Suggestions();
      for (int i = 0; i < found.Count(); ++i) {
        std::string s = found[i];
        if (shout) {
          s = AsciiUpper(s);
        } else if (capitalised && IsAsciiLower(s.front())) {
          s.front() = static_cast<char>(s.front() - 'a' + 'A');
        }
        take(s);
      }
    }
    checker_.Suggest(w);
    const TStringList& found = checker_.Suggestions();
    for (int i = 0; i < found.Count(); ++i) take(found[i]);
    return out;
  }

  void AddPersonal(const std::string& w) {
    if (w.empty()) return;
    if (checker_.Frequency(w) == 0) {
      try {
        checker_.AddToSpell(w);
      } catch (const std::exception& e) {
        // A word the dictionary refuses (one holding its format character)
        // stays unknown; the session goes on.
        std::cerr << "wordloom: cannot add \"" << w << "\": " << e.what() << '\n';
        return;
      }
    }
    if (personalSeen_.insert(w).second) personal_.push_back(w);
  }

  void Save() {
    if (options_.PersonalFile.empty()) return;
    if (!SavePersonal(options_.PersonalFile, personal_)) {
      std::cerr << "wordloom: cannot write the personal dictionary " << options_.PersonalFile
                << '\n';
      status_ = 1;
    }
  }

  TVelkSpellChecker& checker_;
  std::ostream& out_;
  const PipeOptions& options_;
  bool terse_;
  int status_ = 0;
  std::unordered_set<std::string> session_;
  std::vector<std::string> personal_;  // in the order they were added
  std::unordered_set<std::string> personalSeen_;
};

}  // namespace

std::vector<PipeWord> SplitWords(std::string_view Line, std::size_t From) {
  std::vector<PipeWord> words;
  std::size_t chars = 0;  // characters before byte i
  for (std::size_t i = 0; i < From && i < Line.size(); ++i) {
    if (StartsCharacter(Line[i])) ++chars;
  }
  std::size_t i = From;
  while (i < Line.size()) {
    if (!IsWordByte(Line[i])) {
      if (StartsCharacter(Line[i])) ++chars;
      ++i;
      continue;
    }
    PipeWord word;
    word.Offset = chars;
    const std::size_t start = i;
    while (i < Line.size()) {
      if (IsWordByte(Line[i])) {
        if (StartsCharacter(Line[i])) ++chars;
        ++i;
      } else if (Line[i] == '\'' && i > start && i + 1 < Line.size() && IsWordByte(Line[i + 1])) {
        ++chars;
        ++i;
      } else {
        break;
      }
    }
    word.Text.assign(Line.substr(start, i - start));
    words.push_back(std::move(word));
  }
  return words;
}

std::vector<std::string> LoadPersonal(const std::string& File) {
  std::vector<std::string> words;
  std::ifstream in(File, std::ios::binary);
  if (!in) return words;
  std::string line;
  while (std::getline(in, line)) {
    const std::string_view w = Trim(line);
    if (!w.empty()) words.emplace_back(w);
  }
  return words;
}

bool SavePersonal(const std::string& File, const std::vector<std::string>& Words) {
  const std::string temp = File + ".wordloom-new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const std::string& w : Words) out << w << '\n';
    out.flush();
    if (!out) {
      out.close();
      std::remove(temp.c_str());
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, File, ec);
  if (ec) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

int RunPipe(TVelkSpellChecker& Checker, std::istream& In, std::ostream& Out,
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
  PipeSession session(Checker, Out, Options);
  return session.Run(In);
}

}  // namespace wordloom::cli
