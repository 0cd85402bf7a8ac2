#include "commands.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <istream>
#include <iterator>
#include <memory>
#include <ostream>
#include <system_error>
#include <utility>

namespace wordloom::cli {

namespace {

namespace fs = std::filesystem;

// U+2019 RIGHT SINGLE QUOTATION MARK, the typographic apostrophe, in UTF-8.
constexpr std::string_view kTypographicApostrophe = "\xE2\x80\x99";

bool IsAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsAsciiLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsLetterByte(char c) {
  return IsAsciiUpper(c) || IsAsciiLower(c) || static_cast<unsigned char>(c) >= 0x80;
}
bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string AsciiLower(std::string w) {
  for (char& c : w) {
    if (IsAsciiUpper(c)) c = static_cast<char>(c - 'A' + 'a');
  }
  return w;
}

std::string AsciiUpper(std::string w) {
  for (char& c : w) {
    if (IsAsciiLower(c)) c = static_cast<char>(c - 'a' + 'A');
  }
  return w;
}

bool IsAllCapitals(const std::string& w) {
  return std::any_of(w.begin(), w.end(), IsAsciiUpper) &&
         std::none_of(w.begin(), w.end(), IsAsciiLower);
}

std::string Capitalised(std::string w) {
  w = AsciiLower(std::move(w));
  if (!w.empty() && IsAsciiLower(w[0])) w[0] = static_cast<char>(w[0] - 'a' + 'A');
  return w;
}

std::string JoinMessages(const std::vector<std::string>& messages) {
  std::string out;
  for (const std::string& m : messages) {
    if (!out.empty()) out += "; ";
    out += m;
  }
  return out;
}

// The word as the dictionary spells it: typographic apostrophes become ASCII ones.
std::string DictionarySpelling(std::string_view word) {
  std::string out;
  out.reserve(word.size());
  for (std::size_t i = 0; i < word.size();) {
    if (word.substr(i, kTypographicApostrophe.size()) == kTypographicApostrophe) {
      out += '\'';
      i += kTypographicApostrophe.size();
    } else {
      out += word[i++];
    }
  }
  return out;
}

// Word without the apostrophes around it (straight or typographic): those are
// quotation marks, not part of the word.
std::string_view WithoutQuotes(std::string_view w) {
  for (;;) {
    if (w.starts_with('\'')) {
      w.remove_prefix(1);
    } else if (w.starts_with(kTypographicApostrophe)) {
      w.remove_prefix(kTypographicApostrophe.size());
    } else {
      break;
    }
  }
  for (;;) {
    if (w.ends_with('\'')) {
      w.remove_suffix(1);
    } else if (w.ends_with(kTypographicApostrophe)) {
      w.remove_suffix(kTypographicApostrophe.size());
    } else {
      break;
    }
  }
  return w;
}

// Whether the tool lets a word (quotes removed) pass: one without a letter,
// or one the dictionary knows (IsKnownWord).
bool AcceptedWord(ToolChecker& Checker, std::string_view Word, bool CaseSensitive) {
  if (std::none_of(Word.begin(), Word.end(), IsLetterByte)) return true;
  return IsKnownWord(Checker, DictionarySpelling(Word), CaseSensitive);
}

std::string DisplayName(const std::string& file) { return file == "-" ? "<stdin>" : file; }

// A fresh dictionary as the tool makes them: words end before their first
// delimiter, so that a word of the text is a word of the dictionary.
void SetUpNewDictionary(ToolChecker& checker, bool utf8) {
  checker.SetDelimiterOption(wldExclFirstSucc);
  if (utf8) checker.SetDelimiters(Utf8Delimiters());
}

void AddWordOnce(ToolChecker& checker, std::string_view word) {
  if (checker.GetNodeCount() == 0) checker.InitFirstSpellNode();
  checker.AddToSpell(word);
}

// Adds the "word<TAB>count" lines of File: each word count times more.
void ImportCounts(ToolChecker& checker, const std::string& file) {
  const std::string data = ReadInput(file, true);
  std::size_t line_no = 0;
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    std::string_view line(data.data() + start, end - start);
    start = end + 1;
    ++line_no;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const std::string where = DisplayName(file) + ":" + std::to_string(line_no) + ": ";
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0) {
      throw CliError(where + "expected word<TAB>count");
    }
    const std::string_view word = line.substr(0, tab);
    const std::string_view digits = line.substr(tab + 1);
    std::uint32_t count = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
    if (ec != std::errc() || ptr != digits.data() + digits.size() || count == 0) {
      throw CliError(where + "the count must be a whole number from 1 to 4294967295");
    }
    if (std::uint64_t{checker.Frequency(word)} + count > UINT32_MAX) {
      throw CliError(where + "the frequency of \"" + std::string(word) + "\" would overflow");
    }
    try {
      for (std::uint32_t i = 0; i < count; ++i) AddWordOnce(checker, word);
    } catch (const Exception& e) {
      throw CliError(where + e.what());
    }
  }
}

// Opens the dictionary of a command that only reads it.
void OpenForReading(ToolChecker& checker, const std::string& given, TerminalServices& services) {
  OpenDictionary(checker, ResolveDictionary(given), services);
}

std::string WidthText(std::uint32_t count) {
  // The widths a spell file gives its node indices and word numbers: the
  // fewest bytes that hold count - 1 (docs/spell-file-format.md).
  int width = 4;
  if (count <= 256u) {
    width = 1;
  } else if (count <= 65536u) {
    width = 2;
  } else if (count <= 16777216u) {
    width = 3;
  }
  return std::to_string(width) + (width == 1 ? " byte" : " bytes");
}

}  // namespace

ToolChecker::ToolChecker(bool ShowProgress) : TVelkSpellChecker(nullptr) {
  SetSpellFileOptions({});
  SetShowProgress(ShowProgress);
  // The words a writer most likely meant first; SuggestFor sets the limit.
  SetSuggestionRanking(srkLikelihood);
  // For the sort methods (--ranking sort-methods): one appended letter
  // besides the search's defaults, so that a swap of the last two letters
  // ("teh") is found as a deletion and an append.
  SetMaxDevAppend(1);
}

std::string ResolveDictionary(const std::string& Given) {
  if (!Given.empty()) return Given;
  if (const char* env = std::getenv("WORDLOOM_DICT"); env != nullptr && *env != '\0') return env;
  std::vector<fs::path> candidates;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    candidates.push_back(exe.parent_path() / "en.spl");
    candidates.push_back(exe.parent_path().parent_path() / "share" / "wordloom" / "en.spl");
  }
  candidates.emplace_back(WORDLOOM_INSTALLED_DICTIONARY);
  for (const fs::path& p : candidates) {
    if (fs::is_regular_file(p, ec)) return p.string();
  }
  throw CliError("no dictionary found: give -d DICT or set WORDLOOM_DICT");
}

void OpenDictionary(ToolChecker& Checker, const std::string& Path, TerminalServices& Services) {
  std::error_code ec;
  if (!fs::exists(Path, ec)) throw CliError(Path + ": no such dictionary");
  if (!fs::is_regular_file(Path, ec)) throw CliError(Path + ": not a dictionary file");
  try {
    Checker.OpenSpellFile(Path);
  } catch (const Exception& e) {
    throw CliError(Path + ": " + e.what());
  }
  if (Checker.SpellFileName() != Path) {
    const std::string why = JoinMessages(Services.TakeMessages());
    throw CliError(Path + ": cannot open" + (why.empty() ? std::string() : ": " + why));
  }
}

void SaveDictionary(ToolChecker& Checker, const std::string& Path, bool Protect,
                    TerminalServices& Services) {
  if (Checker.WordCount() == 0) throw CliError(Path + ": the dictionary has no words; not written");
  Checker.MarkModified();
  try {
    Checker.SaveSpellFile(Path, Protect);
  } catch (const Exception& e) {
    throw CliError(Path + ": " + e.what());
  }
  if (Checker.SpellFileName() != Path || Checker.SpellModified()) {
    const std::string why = JoinMessages(Services.TakeMessages());
    throw CliError(Path + ": not written" + (why.empty() ? std::string() : ": " + why));
  }
}

std::string ReadInput(const std::string& File, bool Text) {
  std::string data;
  if (File == "-") {
    data.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    if (std::cin.bad()) throw CliError("<stdin>: read error");
  } else {
    std::error_code ec;
    if (!fs::exists(File, ec)) throw CliError(File + ": no such file");
    if (fs::is_directory(File, ec)) throw CliError(File + ": is a directory");
    std::ifstream in(File, std::ios::binary);
    if (!in) throw CliError(File + ": cannot open for reading");
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) throw CliError(File + ": read error");
  }
  if (data.size() > UINT32_MAX) throw CliError(DisplayName(File) + ": larger than 4 GiB");
  if (Text && data.find('\0') != std::string::npos) {
    throw CliError(DisplayName(File) + ": binary data (a NUL byte), not text");
  }
  return data;
}

bool IsKnownWord(ToolChecker& Checker, const std::string& Word, bool CaseSensitive) {
  if (Word.empty()) return false;
  if (Checker.Frequency(Word) > 0) return true;
  if (CaseSensitive || !IsAsciiUpper(Word[0])) return false;
  if (Checker.Frequency(AsciiLower(Word)) > 0) return true;
  return IsAllCapitals(Word) && Checker.Frequency(Capitalised(Word)) > 0;
}

std::vector<std::string> SuggestFor(ToolChecker& Checker, const std::string& Word,
                                    std::size_t Limit, bool CaseSensitive) {
  std::vector<std::string> out;
  if (Limit == 0 || Word.empty()) return out;
  if (Checker.SuggestionRanking() == srkLikelihood) {
    // The ranking gives its words in the writer's case, which only the
    // dictionary's spelling passes when case counts; the word itself is no
    // correction.
    Checker.SetSuggestionLimit(static_cast<std::uint32_t>(std::min<std::size_t>(Limit, UINT32_MAX - 1) + 1));
    Checker.Suggest(CaseSensitive ? AsciiLower(Word) : Word);
    for (const std::string& s : Checker.Suggestions()) {
      if (s != Word && out.size() < Limit) out.push_back(s);
    }
    return out;
  }
  // The sort methods' order, for Word and, when it has a capital, its
  // lower-case form.
  Checker.SetSuggestionLimit(0);
  Checker.Suggest(Word);
  std::vector<std::string> candidates(Checker.Suggestions().begin(), Checker.Suggestions().end());
  const bool capitalised = !CaseSensitive && IsAsciiUpper(Word[0]);
  if (capitalised) {
    Checker.Suggest(AsciiLower(Word));
    candidates.insert(candidates.end(), Checker.Suggestions().begin(), Checker.Suggestions().end());
  }
  const bool all_capitals = IsAllCapitals(Word) && Word.size() > 1;
  for (std::string s : candidates) {
    // A capitalised or all-capitals word gets its corrections in its own
    // case; a word with capitals of its own ("NASA") keeps them.
    if (capitalised && std::none_of(s.begin(), s.end(), IsAsciiUpper)) {
      s = all_capitals ? AsciiUpper(s) : Capitalised(s);
    }
    if (s == Word) continue;
    if (std::find(out.begin(), out.end(), s) == out.end()) out.push_back(std::move(s));
    if (out.size() == Limit) break;
  }
  return out;
}

std::vector<UnknownWord> FindUnknownWords(ToolChecker& Checker, std::string_view Text,
                                          bool CaseSensitive) {
  std::vector<UnknownWord> out;
  std::size_t next = 0;
  const TReadCharMethod read = [&next, Text](char& c) {
    c = next < Text.size() ? Text[next] : '\0';
    ++next;
  };
  // The position of `offset`, found by walking on from the last word.
  std::size_t offset = 0, line = 1, column = 1;
  const auto walk_to = [&](std::size_t target) {
    for (; offset < target; ++offset) {
      if (Text[offset] == '\n') {
        ++line;
        column = 1;
      } else if (!IsContinuationByte(Text[offset])) {
        ++column;
      }
    }
  };
  Checker.SetCharsRead(0);
  Checker.SetCharsToRead(static_cast<std::uint32_t>(Text.size()));
  while (Checker.CharsRead() < Checker.CharsToRead()) {
    const std::size_t before = Checker.CharsRead();
    Checker.ExtractTextBlock(read);
    const std::size_t begin = before + Checker.PrecedingDelimiters().Size();
    const std::size_t end = Checker.CharsRead() - Checker.SucceedingDelimiter().Size();
    const std::string_view word = WithoutQuotes(Text.substr(begin, end - begin));
    if (AcceptedWord(Checker, word, CaseSensitive)) continue;
    walk_to(static_cast<std::size_t>(word.data() - Text.data()));
    out.push_back({line, column, std::string(word)});
  }
  return out;
}

int RunLearn(const LearnOptions& Options, TerminalServices& Services) {
  ToolChecker checker(Services.ProgressVisible());
  if (fs::exists(Options.Output)) {
    OpenDictionary(checker, Options.Output, Services);
    if (Options.Utf8) checker.SetDelimiters(Utf8Delimiters());
  } else {
    SetUpNewDictionary(checker, Options.Utf8);
  }
  if (Options.Delimiter >= 0) {
    checker.SetDelimiterOption(static_cast<TWLDelimiterOptions>(Options.Delimiter));
  }
  if (Options.FixedBlock > 0) {
    checker.SetTypeOfInput(wliFixedBlockSize);
    checker.SetUnencodedBlockSize(Options.FixedBlock);
  }
  if (Options.EncodedSize >= 0) {
    checker.SetEncodedBlockSize(static_cast<TEncBlockSizeInterval>(Options.EncodedSize));
  }
  const bool text = checker.TypeOfInput() == wliTextInput;
  for (const std::string& file : Options.Files) {
    const std::string data = ReadInput(file, text);
    TMemoryStream stream(data);
    try {
      checker.AddStreamToSpell(stream);
    } catch (const Exception& e) {
      throw CliError(DisplayName(file) + ": " + e.what());
    }
  }
  if (!Options.CountsFile.empty()) ImportCounts(checker, Options.CountsFile);
  SaveDictionary(checker, Options.Output, Options.Protect || checker.IsFileProtected(), Services);
  return kExitOk;
}

int RunCount(const std::vector<std::string>& Files, bool Utf8, TerminalServices& Services) {
  ToolChecker counter(Services.ProgressVisible());
  SetUpNewDictionary(counter, Utf8);
  for (const std::string& file : Files) {
    const std::string data = ReadInput(file, true);
    TMemoryStream stream(data);
    try {
      counter.AddStreamToSpell(stream);
    } catch (const Exception& e) {
      throw CliError(DisplayName(file) + ": " + e.what());
    }
  }
  std::vector<std::pair<std::string, std::uint32_t>> counts;
  counts.reserve(counter.WordCount());
  for (std::uint32_t i = 0; i < counter.WordCount(); ++i) {
    const TWordEntry entry = counter.WordTableEntry(i);
    counts.emplace_back(counter.ExtractSpellWord(static_cast<std::uint32_t>(entry.Node)),
                        entry.Frequency);
  }
  // Byte order, as `LC_ALL=C sort` has it, so that outputs merge and sum by word.
  std::sort(counts.begin(), counts.end());
  for (const auto& [word, count] : counts) std::cout << word << '\t' << count << '\n';
  return kExitOk;
}

int RunCheck(const CheckOptions& Options, TerminalServices& Services) {
  ToolChecker checker(false);
  checker.SetSuggestionRanking(Options.Ranking);
  OpenForReading(checker, Options.Dictionary, Services);
  bool found = false;
  for (const std::string& file : Options.Files) {
    const std::string text = ReadInput(file, true);
    for (const UnknownWord& u : FindUnknownWords(checker, text, Options.CaseSensitive)) {
      found = true;
      std::cout << DisplayName(file) << ':' << u.Line << ':' << u.Column << ": " << u.Word;
      const std::vector<std::string> suggestions = SuggestFor(
          checker, DictionarySpelling(u.Word), Options.MaxSuggestions, Options.CaseSensitive);
      for (std::size_t i = 0; i < suggestions.size(); ++i) {
        std::cout << (i == 0 ? ": " : ", ") << suggestions[i];
      }
      std::cout << '\n';
    }
  }
  std::cout.flush();
  return found ? kExitMisspelled : kExitOk;
}

int RunSuggest(const std::vector<std::string>& Words, const CheckOptions& Options,
               TerminalServices& Services) {
  ToolChecker checker(false);
  checker.SetSuggestionRanking(Options.Ranking);
  OpenForReading(checker, Options.Dictionary, Services);
  bool unknown = false;
  for (const std::string& word : Words) {
    std::cout << word << ':';
    if (IsKnownWord(checker, word, Options.CaseSensitive)) {
      std::cout << " (correct)\n";
      continue;
    }
    unknown = true;
    const std::vector<std::string> suggestions =
        SuggestFor(checker, word, Options.MaxSuggestions, Options.CaseSensitive);
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
      std::cout << (i == 0 ? " " : ", ") << suggestions[i];
    }
    std::cout << '\n';
  }
  return unknown ? kExitMisspelled : kExitOk;
}

int RunList(const std::string& Dictionary, const std::string& From, const std::string& To,
            TerminalServices& Services) {
  ToolChecker checker(false);
  OpenForReading(checker, Dictionary, Services);
  // Without --to, a bound above every word: the comparison folds only A-Z, so
  // a run of the highest byte value comes after any word of fewer bytes.
  const std::string to = To.empty() ? std::string(1024, '\xFF') : To;
  if (!checker.WordList(From, to)) throw CliError("--from comes after --to");
  for (const std::string& word : checker.Suggestions()) std::cout << word << '\n';
  return kExitOk;
}

int RunModify(const std::string& Dictionary, const std::vector<std::string>& Words, bool Add,
              TerminalServices& Services) {
  if (Dictionary.empty()) {
    throw CliError(std::string(Add ? "add" : "delete") + " changes a dictionary: give -d DICT");
  }
  ToolChecker checker(false);
  if (fs::exists(Dictionary) || !Add) {
    OpenDictionary(checker, Dictionary, Services);
  } else {
    SetUpNewDictionary(checker, true);
  }
  for (const std::string& word : Words) {
    try {
      if (Add) {
        AddWordOnce(checker, word);
      } else if (checker.Frequency(word) == 0) {
        std::cerr << "wordloom: " << word << ": not in the dictionary\n";
      } else {
        checker.DeleteFromSpell(word);
      }
    } catch (const Exception& e) {
      throw CliError(word + ": " + e.what());
    }
  }
  SaveDictionary(checker, Dictionary, checker.IsFileProtected(), Services);
  return kExitOk;
}

int RunInfo(const std::string& Dictionary, TerminalServices& Services) {
  ToolChecker checker(false);
  const std::string path = ResolveDictionary(Dictionary);
  OpenDictionary(checker, path, Services);
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < checker.WordCount(); ++i) total += checker.WordTableEntry(i).Frequency;
  // The effective set never holds the format character's token; the
  // reference sets are compared without it too.
  const TCharSet delimiters = checker.GetDelimiters();
  const auto without_token = [&checker](TCharSet set) {
    return set.Exclude(checker.FormatChar()->GetToken());
  };
  std::string delimiter_set = "custom";
  if (delimiters == without_token(InitialDefDelimiters())) {
    delimiter_set = "default";
  } else if (delimiters == without_token(Utf8Delimiters())) {
    delimiter_set = "UTF-8";
  }
  const std::uint8_t width = checker.EncodedBlockSize();
  std::cout << "file:                " << path << '\n'
            << "protected:           " << (checker.IsFileProtected() ? "yes" : "no") << '\n'
            << "words:               " << checker.WordCount() << '\n'
            << "nodes:               " << checker.GetNodeCount() << '\n'
            << "total frequency:     " << total << '\n'
            << "node index width:    " << WidthText(checker.GetNodeCount()) << '\n'
            << "word number width:   " << WidthText(checker.WordCount()) << '\n'
            << "delimiters:          " << delimiter_set << " set, " << delimiters.Count()
            << " byte values\n"
            << "delimiter after word: "
            << (checker.DelimiterOption() == wldExclFirstSucc ? "excluded" : "included") << '\n'
            << "input:               ";
  if (checker.TypeOfInput() == wliFixedBlockSize) {
    std::cout << "fixed blocks of " << checker.UnencodedBlockSize() << " bytes\n";
  } else {
    std::cout << "text\n";
  }
  std::cout << "encoded block size:  "
            << (width == 0 ? std::string("variable") : std::to_string(width) + " bytes") << '\n';
  return kExitOk;
}

int RunCode(const std::string& Dictionary, const std::string& In, const std::string& Out,
            bool Encode, TerminalServices& Services) {
  ToolChecker checker(Services.ProgressVisible());
  OpenForReading(checker, Dictionary, Services);
  std::error_code ec;
  if (!fs::is_regular_file(In, ec)) throw CliError(In + ": no such file");
  std::string temporary;
  try {
    temporary = TFileStream::CreateBeside(Out)->FileName();
  } catch (const Exception& e) {
    throw CliError(Out + ": " + e.what());
  }
  try {
    if (Encode) {
      checker.EncodeFile(In, temporary);
    } else {
      checker.DecodeFile(In, temporary);
    }
    RenameFile(temporary, Out);
  } catch (const Exception& e) {
    DeleteFile(temporary);
    throw CliError(In + ": " + e.what());
  } catch (...) {
    DeleteFile(temporary);
    throw;
  }
  return kExitOk;
}

namespace {

// The check dialog of the interactive check: it shows the word in its line
// with numbered corrections and reads one command line per word. Words the
// tool's own check accepts (known in another capitalisation, quoted with
// apostrophes, without letters) are passed without asking, so that the
// session asks about the words `check` lists.
class TerminalCheckDialog : public TCustomSpellCheckDlg {
 public:
  WORDLOOM_OBJECT(TerminalCheckDialog)

  TerminalCheckDialog(ToolChecker& Checker, const CheckOptions& Options, std::istream& Commands,
                      std::ostream& Prompts)
      : TCustomSpellCheckDlg(&Checker),
        FChecker(Checker),
        FOptions(Options),
        FCommands(Commands),
        FPrompts(Prompts) {}

  void SetFileName(std::string Value) { FFileName = std::move(Value); }
  // Whether the user added a word to the dictionary.
  bool Added() const { return FAdded; }
  // Whether the session ended ('q' or the end of the commands).
  bool Cancelled() const { return FCancelled; }

  TCheckResults Execute(TVelkSpellChecker* Checker, std::string& AWord) override {
    if (FCancelled) return crCancel;
    if (AcceptedByTool(AWord)) return crIgnoreAll;
    const std::size_t limit = std::min<std::size_t>(FOptions.MaxSuggestions, 10);
    const std::vector<std::string> suggestions =
        SuggestFor(FChecker, DictionarySpelling(AWord), limit, FOptions.CaseSensitive);
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
          AWord = suggestions[n];
          return crReplace;
        }
        FPrompts << "no correction " << n << '\n';
        continue;
      }
      if (command == "a") {
        FAdded = true;
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
          text = suggestions[n];
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

  bool AcceptedByTool(const std::string& Word) const {
    return AcceptedWord(FChecker, WithoutQuotes(Word), FOptions.CaseSensitive);
  }

  // "FILE:LINE:COLUMN: WORD", the line with the word marked, the corrections.
  void ShowWord(const TVelkSpellChecker& Checker, const std::string& Word,
                const std::vector<std::string>& Suggestions) {
    const std::string text = Checker.Memo()->Text();
    // The caret stands after the word (and the delimiter that ended it).
    const std::size_t caret =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(0, Checker.Memo()->SelStart())),
                              text.size());
    std::size_t start = caret;
    if (!Word.empty() && caret >= Word.size()) {
      const std::size_t at = text.rfind(Word, caret - Word.size());
      if (at != std::string::npos) start = at;
    }
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
      if (IsContinuationByte(text[i])) continue;
      ++column;
      marker += text[i] == '\t' ? '\t' : ' ';
    }
    for (char c : Word) {
      if (!IsContinuationByte(c)) marker += '^';
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

  ToolChecker& FChecker;
  const CheckOptions& FOptions;
  std::istream& FCommands;
  std::ostream& FPrompts;
  std::string FFileName;
  bool FAdded = false;
  bool FCancelled = false;
};

// Replaces File by Text: written to a temporary file beside it, forced to the
// disk, then renamed over it.
void ReplaceFile(const std::string& File, const std::string& Text) {
  std::string temporary;
  try {
    std::unique_ptr<TFileStream> out = TFileStream::CreateBeside(File);
    temporary = out->FileName();
    out->WriteBuffer(Text.data(), Text.size());
    out->Flush();
    out.reset();
    RenameFile(temporary, File);
  } catch (const Exception& e) {
    if (!temporary.empty()) DeleteFile(temporary);
    throw CliError(File + ": not written: " + e.what());
  } catch (...) {
    if (!temporary.empty()) DeleteFile(temporary);
    throw;
  }
}

}  // namespace

int RunInteractiveCheck(const CheckOptions& Options, TerminalServices& Services,
                        std::istream& Commands, std::ostream& Prompts) {
  for (const std::string& file : Options.Files) {
    if (file == "-") throw CliError("check --interactive needs files; standard input holds the commands");
  }
  ToolChecker checker(false);
  checker.SetSuggestionRanking(Options.Ranking);
  const std::string dictionary = ResolveDictionary(Options.Dictionary);
  OpenDictionary(checker, dictionary, Services);
  // Owned by the checker, which frees it.
  auto* dialog = new TerminalCheckDialog(checker, Options, Commands, Prompts);
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
  if (dialog->Added()) {
    if (Options.Dictionary.empty()) {
      Prompts << "wordloom: added words are not saved without -d DICT\n";
    } else {
      SaveDictionary(checker, Options.Dictionary, checker.IsFileProtected(), Services);
    }
  }
  Prompts.flush();
  return kExitOk;
}

}  // namespace wordloom::cli
