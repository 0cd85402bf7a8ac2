// Where the tool's dictionaries and texts come from and go to: the default
// dictionary's search path, opening and saving with one-line reasons, and
// reading a text file or standard input whole.
#include "dictionary_files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <system_error>

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


}  // namespace

std::string PrintableText(std::string_view Text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  std::size_t i = 0;
  while (i < Text.size()) {
    const auto c = static_cast<unsigned char>(Text[i]);
    // The length of a valid UTF-8 sequence starting at i (no overlong forms,
    // no surrogates), 0 when there is none.
    std::size_t length = 0;
    if (c >= 0x20 && c < 0x7f) {
      length = 1;
    } else if (c >= 0xc2 && c <= 0xf4) {
      const std::size_t need = c < 0xe0 ? 2 : c < 0xf0 ? 3 : 4;
      length = need;
      for (std::size_t k = 1; k < need; ++k) {
        if (i + k >= Text.size() || (static_cast<unsigned char>(Text[i + k]) & 0xc0) != 0x80) {
          length = 0;
          break;
        }
      }
      if (length != 0) {
        const auto c1 = static_cast<unsigned char>(Text[i + 1]);
        if ((c == 0xe0 && c1 < 0xa0) || (c == 0xed && c1 >= 0xa0) || (c == 0xf0 && c1 < 0x90) ||
            (c == 0xf4 && c1 >= 0x90)) {
          length = 0;
        }
      }
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
    throw CliError(Path + ": " + e.Message());
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
    throw CliError(Path + ": " + e.Message());
  }
  if (Checker.SpellFileName() != Path || Checker.SpellModified()) {
    const std::string why = JoinMessages(Services.TakeMessages());
    throw CliError(Path + ": not written" + (why.empty() ? std::string() : ": " + why));
  }
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
