// `wordloom import`: a Hunspell dictionary (.aff + .dic) written as a spell
// file of every form it accepts (wordloom/import/hunspell_import.h).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "terminal_services.h"

namespace wordloom::cli {

struct ImportOptions {
  // The .aff and the .dic in either order, or one of them (the other is
  // beside it, with the other extension).
  std::vector<std::string> Files;
  std::string Output;
  std::string CountsFile;
};

// Imports, prints what was read and written (and the warnings) to Err, and
// returns 0; CliError for a dictionary that cannot be imported.
int RunImport(const ImportOptions& Options, TerminalServices& Services, std::ostream& Err);

// The one-line advice for Path when it is a Hunspell dictionary given where a
// spell file is expected; empty when it is none.
std::string HunspellAdvice(const std::string& Path);

}  // namespace wordloom::cli
