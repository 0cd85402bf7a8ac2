// check --interactive: corrects files in place, one question per unknown word.
#pragma once

#include <iosfwd>

#include "commands.h"

namespace wordloom::cli {

// Checks each of Options.Files word by word in a dialog: every unknown word is
// shown on Prompts in its line with numbered corrections, and one command line
// is read from Commands for it (docs/cli.md). A changed file is replaced as a
// whole (temporary file renamed over it); words added go to Options.Dictionary
// when one was given. 'q' or the end of Commands ends the session, keeping the
// changes made so far. Exit status 0.
int RunInteractiveCheck(const CheckOptions& Options, TerminalServices& Services,
                        std::istream& Commands, std::ostream& Prompts);

}  // namespace wordloom::cli
