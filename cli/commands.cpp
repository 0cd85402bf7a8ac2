// The subcommands of the tool but the interactive check
// (interactive_check.cpp): each opens what it needs, asks the library and
// prints to the streams it is given.
#include "commands.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <functional>
#include <istream>
#include <iterator>
#include <memory>
#include <sstream>
#include <ostream>
#include <system_error>
#include <utility>

#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/file_writer.h"
#include "tool_streams.h"

namespace wordloom::cli {

namespace {

namespace fs = std::filesystem;

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

// Adds the "word<TAB>count" lines of File: each word count times more, its
// frequency saturating at the largest a frequency holds.
void ImportCounts(ToolChecker& checker, const std::string& file) {
  const std::string data = ReadInput(file, true);
  // A new dictionary has no root yet; nothing can be looked up or added without it.
  if (checker.GetNodeCount() == 0) checker.InitFirstSpellNode();
  std::size_t line_no = 0;
  try {
    ForEachCountLine(data, [&](const CountLine& line) {
      line_no = line.Number;
      // Frequencies saturate, as the spell file stores them: counts summed
      // from a large corpus stop at the largest frequency rather than failing.
      const std::uint32_t room = UINT32_MAX - checker.Frequency(line.Word);
      if (room == 0) return;
      // In one step: a count of billions must not mean billions of additions.
      checker.AddToSpell(line.Word,
                         static_cast<std::uint32_t>(std::min<std::uint64_t>(line.Count, room)));
    });
  } catch (const EConvertError& e) {
    throw CliError(DisplayName(file) + ":" + e.Message());
  } catch (const Exception& e) {
    throw CliError(DisplayName(file) + ":" + std::to_string(line_no) + ": " + e.what());
  }
}

// Learns the words of each file (standard input for "-"); Text: the files
// must be text (no NUL byte).
void LearnFiles(ToolChecker& checker, const std::vector<std::string>& files, bool text) {
  for (const std::string& file : files) {
    const std::string data = ReadInput(file, text);
    TMemoryStream stream(data);
    try {
      checker.AddStreamToSpell(stream);
    } catch (const Exception& e) {
      throw CliError(DisplayName(file) + ": " + e.what());
    }
  }
}

// Opens the dictionary of a command that only reads it.
void OpenForReading(ToolChecker& checker, const std::string& given, TerminalServices& services) {
  CheckStandardInputUses({{"the dictionary", given}, {"the password", services.PasswordFile()}});
  checker.SetCompactFormFolder(DefaultCompactFormFolder());
  OpenDictionary(checker, ResolveDictionary(given), services);
  // Nothing is saved: the password of a protected dictionary is not needed again.
  services.ForgetPassword();
}

// A field width as `info` prints it: the widths a spell file gives its node
// indices and word numbers (docs/spell-file-format.md).
std::string WidthText(std::uint32_t count) {
  const int width = SpellWidth(count);
  return std::to_string(width) + (width == 1 ? " byte" : " bytes");
}

}  // namespace

void ForEachUnknownWord(DictionarySet& Dictionaries, std::istream& In, const std::string& Name,
                        bool CaseSensitive, MarkupMode Mode,
                        const std::function<void(const UnknownWord&)>& Found,
                        std::size_t MaxPiece) {
  // The text comes in pieces; markup open at the end of one goes on in the
  // next, and lines and columns are counted on.
  TextPieceReader reader(In, MaxPiece);
  MarkupMasker masker(Mode);
  std::size_t line = 1, column = 1;
  std::string piece;
  while (reader.Next(piece)) {
    if (piece.find('\0') != std::string::npos) {
      throw CliError(DisplayName(Name) + ": binary data (a NUL byte), not text");
    }
    // The position of `offset`, found by walking on from the last word.
    std::size_t offset = 0;
    const auto walk_to = [&](std::size_t target) {
      for (; offset < target; ++offset) {
        if (piece[offset] == '\n') {
          ++line;
          column = 1;
        } else if (!IsUtf8ContinuationByte(piece[offset])) {
          ++column;
        }
      }
    };
    for (const UnicodeWord& w : FindUnicodeWords(masker.Mask(piece))) {
      if (Dictionaries.IsKnown(w.Lookup, CaseSensitive)) continue;
      walk_to(w.Offset);
      Found({line, column, piece.substr(w.Offset, w.Length), w.Lookup});
    }
    walk_to(piece.size());
  }
  if (reader.Failed()) throw CliError(DisplayName(Name) + ": read error");
}

std::vector<UnknownWord> FindUnknownWords(DictionarySet& Dictionaries, std::string_view Text,
                                          bool CaseSensitive, MarkupMode Mode) {
  std::vector<UnknownWord> out;
  std::istringstream in{std::string(Text)};
  ForEachUnknownWord(Dictionaries, in, "-", CaseSensitive, Mode,
                     [&out](const UnknownWord& u) { out.push_back(u); });
  return out;
}

int RunLearn(const LearnOptions& Options, TerminalServices& Services) {
  std::vector<std::pair<std::string, std::string>> inputs = {
      {"--counts", Options.CountsFile}, {"the password", Services.PasswordFile()}};
  for (const std::string& file : Options.Files) inputs.emplace_back("a text", file);
  CheckStandardInputUses(inputs);
  ToolChecker checker(Services.ProgressVisible());
  // "-" is standard output, which cannot be read: a new dictionary.
  if (Options.Output != "-" && fs::exists(Options.Output)) {
    OpenDictionary(checker, Options.Output, Services);
    if (Options.Utf8) checker.SetDelimiters(Utf8Delimiters());
    // An empty set of its own: the default delimiters, byte mode.
    if (Options.Bytes) checker.SetDelimiters(TCharSet());
  } else {
    SetUpNewDictionary(checker, !Options.Bytes);
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
  LearnFiles(checker, Options.Files, checker.TypeOfInput() == wliTextInput);
  if (!Options.CountsFile.empty()) ImportCounts(checker, Options.CountsFile);
  SaveDictionary(checker, Options.Output, Options.Protect || checker.IsFileProtected(), Services);
  return kExitOk;
}

int RunCount(const std::vector<std::string>& Files, bool Utf8, TerminalServices& Services,
             std::ostream& Out) {
  std::vector<std::pair<std::string, std::string>> inputs;
  for (const std::string& file : Files) inputs.emplace_back("a text", file);
  CheckStandardInputUses(inputs);
  ToolChecker counter(Services.ProgressVisible());
  SetUpNewDictionary(counter, Utf8);
  LearnFiles(counter, Files, true);
  std::vector<std::pair<std::string, std::uint32_t>> counts;
  counts.reserve(counter.WordCount());
  for (std::uint32_t i = 0; i < counter.WordCount(); ++i) {
    const TWordEntry entry = counter.WordTableEntry(i);
    counts.emplace_back(counter.ExtractSpellWord(static_cast<std::uint32_t>(entry.Node)),
                        entry.Frequency);
  }
  // Byte order, as `LC_ALL=C sort` has it, so that outputs merge and sum by word.
  std::sort(counts.begin(), counts.end());
  for (const auto& [word, count] : counts) Out << word << '\t' << count << '\n';
  return kExitOk;
}

int RunCheck(const CheckOptions& Options, TerminalServices& Services, std::ostream& Out) {
  std::vector<std::pair<std::string, std::string>> inputs = {
      {"the dictionary", Options.Dictionary}, {"the password", Services.PasswordFile()}};
  for (const std::string& file : Options.Files) inputs.emplace_back("a text", file);
  CheckStandardInputUses(inputs);
  ToolDictionaries dictionaries(Options.Dictionary, Services);
  // Nothing is saved: the password of a protected dictionary is not needed again.
  Services.ForgetPassword();
  DictionarySet& checker = dictionaries.Set();
  checker.SetSuggestionRanking(Options.Ranking);
  dictionaries.LoadPersonalList(Options.Personal);
  bool found = false;
  // Corrections once per distinct word: a text repeats its unknown words.
  SuggestionCache suggestions(
      [&checker](const std::string& Word, std::size_t Limit, bool CaseSensitive) {
        return checker.Suggestions(Word, Limit, CaseSensitive);
      },
      Options.MaxSuggestions, Options.CaseSensitive);
  for (const std::string& file : Options.Files) {
    InputFile input(file);
    ForEachUnknownWord(checker, input.Stream(), file, Options.CaseSensitive, Options.ModeFor(file),
                       [&](const UnknownWord& u) {
                         found = true;
                         Out << DisplayName(file) << ':' << u.Line << ':' << u.Column << ": "
                             << u.Word;
                         const std::vector<std::string>& corrections = suggestions.For(u.Spelling);
                         for (std::size_t i = 0; i < corrections.size(); ++i) {
                           Out << (i == 0 ? ": " : ", ")
                               << InWritersApostrophes(corrections[i], u.Word);
                         }
                         Out << '\n';
                       });
  }
  Out.flush();
  return found ? kExitMisspelled : kExitOk;
}

int RunSuggest(const std::vector<std::string>& Words, const CheckOptions& Options,
               TerminalServices& Services, std::ostream& Out) {
  CheckStandardInputUses({{"the dictionary", Options.Dictionary},
                          {"the password", Services.PasswordFile()}});
  ToolDictionaries dictionaries(Options.Dictionary, Services);
  Services.ForgetPassword();
  DictionarySet& checker = dictionaries.Set();
  checker.SetSuggestionRanking(Options.Ranking);
  dictionaries.LoadPersonalList(Options.Personal);
  bool unknown = false;
  for (const std::string& word : Words) {
    Out << word << ':';
    if (checker.IsKnown(word, Options.CaseSensitive)) {
      Out << " (correct)\n";
      continue;
    }
    unknown = true;
    const std::vector<std::string> suggestions =
        checker.Suggestions(word, Options.MaxSuggestions, Options.CaseSensitive);
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
      Out << (i == 0 ? " " : ", ") << suggestions[i];
    }
    Out << '\n';
  }
  return unknown ? kExitMisspelled : kExitOk;
}

int RunList(const std::string& Dictionary, const std::string& From, const std::string& To,
            TerminalServices& Services, std::ostream& Out) {
  ToolChecker checker(false);
  OpenForReading(checker, Dictionary, Services);
  // Without --to, a bound above every word: the comparison folds only A-Z, so
  // a run of the highest byte value comes after any word of fewer bytes.
  const std::string to = To.empty() ? std::string(1024, '\xFF') : To;
  if (!checker.WordList(From, to)) throw CliError("--from comes after --to");
  for (const std::string& word : checker.Suggestions()) Out << word << '\n';
  return kExitOk;
}

int RunModify(const std::string& Dictionary, const std::vector<std::string>& Words, bool Add,
              TerminalServices& Services, std::ostream& Err) {
  if (Dictionary.empty()) {
    throw CliError(std::string(Add ? "add" : "delete") + " changes a dictionary: give -d DICT");
  }
  CheckStandardInputUses({{"the dictionary", Dictionary}, {"the password", Services.PasswordFile()}});
  ToolChecker checker(false);
  if (Dictionary == "-" || fs::exists(Dictionary) || !Add) {
    OpenDictionary(checker, Dictionary, Services);
  } else {
    SetUpNewDictionary(checker, true);
  }
  for (const std::string& word : Words) {
    try {
      if (Add) {
        AddWordOnce(checker, word);
      } else if (checker.Frequency(word) == 0) {
        ReportError(Err, word + ": not in the dictionary");
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

int RunInfo(const std::string& Dictionary, TerminalServices& Services, std::ostream& Out) {
  CheckStandardInputUses({{"the dictionary", Dictionary}, {"the password", Services.PasswordFile()}});
  ToolChecker checker(false);
  const std::string path = ResolveDictionary(Dictionary);
  OpenDictionary(checker, path, Services);
  Services.ForgetPassword();
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
  Out << "file:                " << path << '\n'
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
    Out << "fixed blocks of " << checker.UnencodedBlockSize() << " bytes\n";
  } else {
    Out << "text\n";
  }
  Out << "encoded block size:  "
            << (width == 0 ? std::string("variable") : std::to_string(width) + " bytes") << '\n';
  return kExitOk;
}

int RunCode(const std::string& Dictionary, const std::string& In, const std::string& Out,
            bool Encode, TerminalServices& Services, std::istream& Input, std::ostream& Output,
            bool Raw) {
  CheckStandardInputUses({{"the dictionary", Dictionary},
                          {"the password", Services.PasswordFile()},
                          {"the input", In}});
  ToolChecker checker(Services.ProgressVisible());
  OpenForReading(checker, Dictionary, Services);
  if (checker.WordCount() < 2) {
    throw CliError(Dictionary + ": cannot " + (Encode ? "encode" : "decode") +
                   " with fewer than two words");
  }
  // The input is read as a file, never whole into memory: a pipe or
  // standard input is first copied to a temporary file, since encoding reads
  // the text more than once and decoding checks the file before writing.
  std::unique_ptr<TStream> source = OpenSeekableInput(In, Input);
  // A failed write names the output (FileWriter's message); anything else
  // is about the input.
  const auto code = [&](TStream& dest) {
    try {
      if (Raw && Encode) {
        if (!PlainStreamRoundTrips(*source, *checker.FormatChar())) {
          throw CliError(DisplayName(In) +
                         ": the text holds the dictionary's token without a replacement it "
                         "lacks, so the plain stream would not give it back; encode without --raw");
        }
        checker.EncodeStream(*source, dest);
      } else if (Raw) {
        checker.DecodeStream(*source, dest);
      } else if (Encode) {
        WriteEncodedFile(checker, *source, dest);
      } else {
        ReadEncodedFile(checker, *source, dest);
      }
    } catch (const EWriteError&) {
      throw;
    } catch (const Exception& e) {
      throw CliError(DisplayName(In) + ": " + e.what());
    }
  };
  if (Out == "-") {
    OutputStream dest(Output);
    code(dest);
    Output.flush();
    if (!Output) throw CliError("<stdout>: cannot write");
    return kExitOk;
  }
  // The output is replaced only when complete; the writer's messages name it
  // and the reason.
  FileWriter().Save(Out, code);
  return kExitOk;
}

}  // namespace wordloom::cli
