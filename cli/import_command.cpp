// The import subcommand: finds the two halves of the dictionary, lets the
// library expand and write it, and reports on stderr.
#include "import_command.h"

#include <filesystem>
#include <ostream>

#include "dictionary_files.h"
#include "wordloom/import/hunspell_import.h"

namespace wordloom::cli {

namespace {

namespace fs = std::filesystem;

bool HasExtension(const std::string& path, const char* ext) {
  return fs::path(path).extension() == ext;
}

}  // namespace

std::string HunspellAdvice(const std::string& Path) {
  if (!IsHunspellDictionary(Path)) return {};
  const fs::path stem = fs::path(Path).stem();
  return Path + ": a Hunspell dictionary, not a spell file; import it with: wordloom import " +
         Path + " -o " + stem.string() + ".spl";
}

int RunImport(const ImportOptions& Options, TerminalServices& Services, std::ostream& Err) {
  std::string aff, dic;
  for (const std::string& f : Options.Files) {
    if (HasExtension(f, ".aff")) aff = f;
    else if (HasExtension(f, ".dic")) dic = f;
    else throw CliError(f + ": expected a Hunspell .aff or .dic file");
  }
  if (aff.empty() && dic.empty()) throw CliError("import needs the dictionary's .dic (and .aff)");
  if (aff.empty()) aff = HunspellCompanion(dic);
  if (dic.empty()) dic = HunspellCompanion(aff);
  HunspellImportOptions options;
  options.CountsFile = Options.CountsFile;
  if (Services.ProgressVisible()) {
    options.OnProgress = [&Err](std::size_t done, std::size_t total) {
      Err << "\rwordloom: importing " << (total == 0 ? 100 : done * 100 / total) << " %" << std::flush;
      if (done == total) Err << '\n';
    };
  }
  HunspellImportReport report;
  try {
    report = ImportHunspellDictionary(aff, dic, Options.Output, options);
  } catch (const Exception& e) {
    throw CliError(e.Message());
  }
  for (const std::string& w : report.Warnings) Err << "wordloom: warning: " << PrintableText(w) << '\n';
  if (report.WarningCount > report.Warnings.size()) {
    Err << "wordloom: " << report.WarningCount - report.Warnings.size() << " more warnings\n";
  }
  Err << "wordloom: " << Options.Output << ": " << report.Forms << " words from " << report.Entries
      << " entries of " << dic;
  if (report.Compounding) Err << " (compound words are not included)";
  Err << '\n';
  return kExitOk;
}

}  // namespace wordloom::cli
