// Where the tool's dictionaries and texts come from and go to: the default
// dictionary's search path, opening and saving with one-line reasons, and
// reading a text file or standard input whole.
#include "dictionary_files.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <system_error>

#include "tool_streams.h"
#include "import_command.h"
#include "wordloom/import/hunspell_import.h"
#include "wordloom/text/unicode_words.h"

namespace wordloom::cli {

namespace {

namespace fs = std::filesystem;

std::string JoinMessages(const std::vector<std::string>& messages) {
  std::string out;
  for (const std::string& m : messages) {
    if (!out.empty()) out += "; ";
    out += m;
  }
  return out;
}


// Opens Path, naming it Shown in messages.
void OpenDictionaryFile(ToolChecker& Checker, const std::string& Path, const std::string& Shown,
                        TerminalServices& Services) {
  std::error_code ec;
  if (!fs::exists(Path, ec)) throw CliError(Shown + ": no such dictionary");
  if (!fs::is_regular_file(Path, ec)) throw CliError(Shown + ": not a dictionary file");
  // A Hunspell dictionary is no spell file: say how to make one of it.
  if (const std::string advice = HunspellAdvice(Path); !advice.empty()) throw CliError(advice);
  try {
    // The dictionary's name gives its language ("de_DE.spl"), which the ranking uses.
    Checker.SetLanguage(DictionaryLanguage(Path));
    Checker.OpenSpellFile(Path);
  } catch (const Exception& e) {
    throw CliError(Shown + ": " + e.Message());
  }
  if (Checker.SpellFileName() != Path) {
    const std::string why = JoinMessages(Services.TakeMessages());
    throw CliError(Shown + ": cannot open" + (why.empty() ? std::string() : ": " + why));
  }
}

// Saves to Path, naming it Shown in messages.
void SaveDictionaryFile(ToolChecker& Checker, const std::string& Path, const std::string& Shown,
                        bool Protect, TerminalServices& Services) {
  if (Checker.WordCount() == 0) throw CliError(Shown + ": the dictionary has no words; not written");
  Checker.MarkModified();
  try {
    Checker.SaveSpellFile(Path, Protect);
  } catch (const Exception& e) {
    Services.ForgetPassword();
    throw CliError(Shown + ": " + e.Message());
  }
  // The tool saves a dictionary last: the password is not needed again.
  Services.ForgetPassword();
  if (Checker.SpellFileName() != Path || Checker.SpellModified()) {
    const std::string why = JoinMessages(Services.TakeMessages());
    throw CliError(Shown + ": not written" + (why.empty() ? std::string() : ": " + why));
  }
}

}  // namespace

std::string PrintableText(std::string_view Text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  std::size_t i = 0;
  while (i < Text.size()) {
    const auto c = static_cast<unsigned char>(Text[i]);
    // What is shown as it is: a printable ASCII byte or a valid UTF-8
    // sequence; 0 for a byte to escape.
    std::size_t length = 0;
    if (c >= 0x20 && c < 0x7f) {
      length = 1;
    } else if (c >= 0x80) {
      std::int32_t code = 0;
      const std::size_t n = Utf8CharAt(Text, i, code);
      if (code >= 0) length = n;
    }
    if (length == 0) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
      ++i;
    } else {
      out.append(Text.substr(i, length));
      i += length;
    }
  }
  return out;
}

int ReportError(std::ostream& Err, std::string_view Message) {
  Err << "wordloom: " << PrintableText(Message) << '\n';
  return kExitError;
}

std::string DisplayName(const std::string& File) { return File == "-" ? "<stdin>" : File; }

void CheckStandardInputUses(const std::vector<std::pair<std::string, std::string>>& Inputs,
                            const std::string& Holder) {
  std::string first = Holder;
  for (const auto& [what, file] : Inputs) {
    if (file != "-") continue;
    if (!first.empty()) {
      throw CliError("standard input holds " + first + "; " + what +
                     " cannot be read from it too (give a file)");
    }
    first = what;
  }
}

ToolChecker::ToolChecker(bool ShowProgress) : TVelkSpellChecker(nullptr) {
  SetSpellFileOptions({});
  SetShowProgress(ShowProgress);
  // The words a writer most likely meant first; SuggestionsFor sets the limit.
  SetSuggestionRanking(srkLikelihood);
  // For the sort methods (--ranking sort-methods): one appended letter
  // besides the search's defaults, so that a swap of the last two letters
  // ("teh") is found as a deletion and an append.
  SetMaxDevAppend(1);
}

const DictionaryFolders& ToolDictionaryFolders() {
  static const DictionaryFolders folders = StandardDictionaryFolders(ProgramFolder());
  return folders;
}

namespace {

// The spell file of one dictionary by path or name.
FoundDictionary FindOne(const std::string& given) {
  FoundDictionary found;
  // "-": the dictionary comes from standard input (no name, so no personal list).
  if (given == "-") {
    found.Path = given;
    return found;
  }
  // A Hunspell dictionary is no spell file: say how to make one of it.
  if (const std::string advice = HunspellAdvice(given); !advice.empty()) throw CliError(advice);
  try {
    found = FindDictionary(given, ToolDictionaryFolders());
  } catch (const EDictionaryNotFound& e) {
    throw CliError(e.Message());
  }
  if (found.Kind == DictionaryKind::kHunspell) {
    // Once: later lookups find the import in the cache.
    std::cerr << "wordloom: " << PrintableText(found.Name) << ": importing the Hunspell dictionary "
              << PrintableText(found.Path) << " into " << PrintableText(found.ImportPath) << '\n';
    try {
      ImportFoundDictionary(found, {});
    } catch (const Exception& e) {
      throw CliError(e.Message());
    }
  }
  return found;
}

}  // namespace

std::string ResolveDictionary(const std::string& Given) {
  const std::string chosen = Given.empty() ? DefaultDictionary() : Given;
  const std::vector<std::string> names = SplitDictionaryList(chosen);
  if (names.empty()) throw CliError("no dictionary given");
  if (names.size() > 1) throw CliError(chosen + ": this command takes one dictionary");
  return FindOne(names.front()).Path;
}

ToolDictionaries::ToolDictionaries(const std::string& Given, TerminalServices& Services) {
  const std::string chosen = Given.empty() ? DefaultDictionary() : Given;
  const std::vector<std::string> names = SplitDictionaryList(chosen);
  if (names.empty()) throw CliError("no dictionary given");
  for (const std::string& name : names) {
    const FoundDictionary found = FindOne(name);
    if (FCheckers.empty()) {
      FPrimaryName = found.Name;
      FPrimaryPath = found.Path;
      FGivenAsPath = IsDictionaryPath(name);
    }
    FCheckers.push_back(std::make_unique<ToolChecker>(false));
    FCheckers.back()->SetCompactFormFolder(DefaultCompactFormFolder());
    OpenDictionary(*FCheckers.back(), found.Path, Services);
    FSet.Add(*FCheckers.back());
  }
}

PersonalWordList ToolDictionaries::LoadPersonalList(const std::string& Explicit) {
  PersonalWordList list(Explicit.empty() ? PersonalListPath(FPrimaryName, ToolDictionaryFolders())
                                         : Explicit);
  // The user's data folder may not exist yet; a folder named with -p must.
  list.SetMakeFolder(Explicit.empty());
  try {
    list.Load();
  } catch (const Exception& e) {
    throw CliError(e.Message());
  }
  for (const std::string& w : list.Words()) {
    try {
      FSet.AddPersonalWord(w);
    } catch (const Exception& e) {
      throw CliError(list.File() + ": cannot use \"" + w + "\": " + e.Message());
    }
  }
  return list;
}

int RunListDictionaries(std::ostream& Out) {
  for (const AvailableDictionary& a : ListDictionaries(ToolDictionaryFolders())) {
    Out << a.Found.Name << '\t' << a.Found.Path;
    if (a.Found.Kind == DictionaryKind::kHunspell) {
      Out << "\tHunspell, to import into " << a.Found.ImportPath;
    }
    if (!a.Aliases.empty()) {
      Out << "\taliases:";
      for (std::size_t i = 0; i < a.Aliases.size(); ++i) Out << (i == 0 ? " " : ", ") << a.Aliases[i];
    }
    Out << '\n';
  }
  Out.flush();
  return kExitOk;
}

void OpenDictionary(ToolChecker& Checker, const std::string& Path, TerminalServices& Services) {
  if (Path == "-") {
    // The library opens files by name: standard input goes to one first.
    PrivateTempFile copy("stdin.spl");
    CopyToFile(std::cin, copy.Path(), "<stdin>");
    OpenDictionaryFile(Checker, copy.Path(), "<stdin>", Services);
    return;
  }
  OpenDictionaryFile(Checker, Path, Path, Services);
}

void SaveDictionary(ToolChecker& Checker, const std::string& Path, bool Protect,
                    TerminalServices& Services) {
  if (Path == "-") {
    // Written whole to a file of its own first, then to standard output.
    PrivateTempFile copy("stdout.spl");
    SaveDictionaryFile(Checker, copy.Path(), "<stdout>", Protect, Services);
    CopyFromFile(copy.Path(), std::cout);
    return;
  }
  SaveDictionaryFile(Checker, Path, Path, Protect, Services);
}

InputFile::InputFile(const std::string& File) : FStream(&std::cin) {
  if (File == "-") return;
  std::error_code ec;
  if (!fs::exists(File, ec)) throw CliError(File + ": no such file");
  if (fs::is_directory(File, ec)) throw CliError(File + ": is a directory");
  FFile.open(File, std::ios::binary);
  if (!FFile) throw CliError(File + ": cannot open for reading: " + std::strerror(errno));
  FStream = &FFile;
}

std::string ReadInput(const std::string& File, bool Text) {
  InputFile input(File);
  std::string data(std::istreambuf_iterator<char>(input.Stream()), std::istreambuf_iterator<char>{});
  if (input.Stream().bad()) {
    throw CliError(DisplayName(File) + ": read error" +
                   (File == "-" ? std::string() : std::string(": ") + std::strerror(errno)));
  }
  if (data.size() > UINT32_MAX) throw CliError(DisplayName(File) + ": larger than 4 GiB");
  if (Text && data.find('\0') != std::string::npos) {
    throw CliError(DisplayName(File) + ": binary data (a NUL byte), not text");
  }
  return data;
}

}  // namespace wordloom::cli
