// How `wordloom --help` shows options: a plain name for each value (FILE,
// DICT, N, WORD) instead of CLI11's types and validator texts ("TEXT",
// "UINT:INT in [1 - 7]"), the allowed range in the description instead
// ("(1 to 7)"), and "(required)" there instead of a REQUIRED label.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

namespace wordloom::cli {

class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_option_opts(const CLI::Option* Opt) const override;
  std::string make_option_desc(const CLI::Option* Opt) const override;
};

// The name shown for the value of Opt: the type name the option was given
// ("RANKING"), else the one for its name in a table ("--dictionary": DICT),
// else N for a number and ARG for anything else.
std::string ValueName(const CLI::Option& Opt);

}  // namespace wordloom::cli
