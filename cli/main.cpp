// The wordloom command-line tool: parses the command line, hands the work to
// the subcommands (commands.h) or to the ispell pipe (pipe_mode.h), and turns
// every failure into one line on stderr. Exit status: 0 done, 1 misspellings
// found, 2 usage or input/output error. docs/cli.md describes each command.
#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "import_command.h"
#include "help_format.h"
#include "interactive_check.h"
#include "pipe_mode.h"
#include "terminal_services.h"

namespace {

using namespace wordloom::cli;

// The version line ispell prints for -v; editors read the ispell version from it.
const std::string kIspellVersionLine =
    "@(#) International Ispell Version 3.2.06 (but really Wordloom " WORDLOOM_VERSION ")";

// The most suggestions --max-suggestions asks for; more are never useful.
constexpr std::size_t kMaxSuggestions = 1000;

// The options of the ispell pipe, accepted at the top level (`wordloom -a`)
// and after `wordloom pipe`.
struct PipeArgs {
  bool List = false;
  int Version = 0;
  std::string Personal;
  std::string Encoding;
  int FormatterWidth = 0;
  int Ignored = 0;
  bool ListDictionaries = false;
};

struct CommonArgs {
  std::string Dictionary;
  std::string PasswordFile;
  bool CaseSensitive = false;
  std::string RankingName = "likelihood";
  wordloom::TSuggestionRanking Ranking = wordloom::srkLikelihood;
  std::string ModeName = "plain";
  wordloom::MarkupMode Mode = wordloom::MarkupMode::kPlain;
};

// The markup modes by name, for --mode and its short flags.
const std::map<std::string, wordloom::MarkupMode>& ModeNames() {
  static const std::map<std::string, wordloom::MarkupMode> names = {
      {"plain", wordloom::MarkupMode::kPlain},
      {"tex", wordloom::MarkupMode::kTex},
      {"html", wordloom::MarkupMode::kHtml},
      {"markdown", wordloom::MarkupMode::kMarkdown},
      {"nroff", wordloom::MarkupMode::kNroff}};
  return names;
}

// --mode: the markup whose commands and tags are not checked, taken as a name
// and turned into the enumeration after parsing, like --ranking.
void AddModeOption(CLI::App* app, CommonArgs& common) {
  app->add_option("--mode", common.ModeName,
                  "markup left unchecked: plain (the default), tex, html, markdown or nroff")
      ->check(CLI::IsMember({"plain", "tex", "html", "markdown", "nroff"}, CLI::ignore_case))
      ->type_name("MODE");
}

// --ranking: the order of the suggestions, taken as a name and turned into
// the enumeration after parsing, so that a refused value is shown as given.
void AddRankingOption(CLI::App* app, CommonArgs& common) {
  app->add_option("--ranking", common.RankingName,
                  "order of the suggestions: likelihood (the words most likely meant first,\n"
                  "the default) or sort-methods (fewest deviations, then alphabetic)")
      ->check(CLI::IsMember({"likelihood", "sort-methods"}, CLI::ignore_case))
      ->type_name("RANKING");
}

void AddDictionaryOptions(CLI::App* app, CommonArgs& common) {
  app->add_option("-d,--dictionary", common.Dictionary,
                  "dictionary file or name, or names separated by commas (en_US,en_GB);\n"
                  "default: $WORDLOOM_DICT or the English dictionary (wordloom -D lists them)");
  app->add_option("--password-file", common.PasswordFile,
                  "read the password of a protected dictionary from this file's first line");
}

void AddPipeOptions(CLI::App* app, PipeArgs& pipe, CommonArgs& common) {
  AddDictionaryOptions(app, common);
  app->add_flag("-l", pipe.List, "list mode: print the unknown words of standard input");
  app->add_flag("-v", pipe.Version, "print the ispell version line (-vv as well) and exit");
  app->add_option("-p", pipe.Personal,
                  "personal word list (default: the dictionary's in the user's data folder)");
  app->add_flag("-D", pipe.ListDictionaries, "list the dictionaries available by name and exit");
  app->add_option("-i,--encoding", pipe.Encoding, "text encoding; only utf-8 is supported");
  app->add_flag("--case-sensitive", common.CaseSensitive,
                "capitalised words need their own dictionary entry");
  AddRankingOption(app, common);
  AddModeOption(app, common);
  app->add_flag_callback(
      "-t", [&common] { common.ModeName = "tex"; }, "TeX mode (--mode tex)");
  app->add_flag_callback(
      "-H", [&common] { common.ModeName = "html"; }, "HTML mode (--mode html)");
  app->add_flag_callback(
      "-n", [&common] { common.ModeName = "nroff"; }, "nroff mode (--mode nroff)");
  // Formatter options of ispell that editors pass: accepted, without effect.
  app->add_flag("-m,-B,-C,-S", pipe.Ignored, "accepted for ispell compatibility; ignored");
  app->add_option("-W", pipe.FormatterWidth, "accepted for ispell compatibility; ignored");
}

int RunPipeMode(const PipeArgs& pipe, const CommonArgs& common, TerminalServices& services) {
  if (!pipe.Encoding.empty()) {
    std::string e = pipe.Encoding;
    std::transform(e.begin(), e.end(), e.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (e != "utf-8" && e != "utf8") {
      throw CliError("encoding " + pipe.Encoding + " is not supported; use utf-8");
    }
  }
  // Standard input carries the protocol: no questions on it, and no file.
  CheckStandardInputUses({{"the dictionary", common.Dictionary},
                          {"the personal word list", pipe.Personal},
                          {"the password", common.PasswordFile}},
                         "the ispell protocol");
  services.SetInteractive(false);
  ToolDictionaries dictionaries(common.Dictionary, services);
  wordloom::PersonalWordList personal = dictionaries.LoadPersonalList(pipe.Personal);
  services.ForgetPassword();  // the pipe never saves the dictionary
  PipeOptions options;
  options.ListMode = pipe.List;
  options.PersonalFile = pipe.Personal;
  options.CaseSensitive = common.CaseSensitive;
  options.Version = WORDLOOM_VERSION;
  options.Ranking = common.Ranking;
  options.Mode = common.Mode;
  return RunPipe(dictionaries.Set(), personal, std::cin, std::cout, std::cerr, options) == 0
             ? kExitOk
             : kExitError;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  CLI::App app{"Learn, check, suggest and encode text with Wordloom dictionaries.", "wordloom"};
  app.formatter(std::make_shared<HelpFormatter>());
  app.set_version_flag("--version", "wordloom " WORDLOOM_VERSION);
  app.footer(
      "Exit status: 0 done, 1 misspellings found (check, suggest), 2 usage or I/O error.\n"
      "Without a subcommand, -a runs the ispell pipe protocol and -l lists unknown words.\n"
      "The manual: man wordloom.");

  CommonArgs common;
  PipeArgs pipe;
  bool pipe_flag = false;
  app.add_flag("-a", pipe_flag, "ispell pipe mode (the same as the pipe subcommand)");
  AddPipeOptions(&app, pipe, common);

  LearnOptions learn;
  bool include_delimiter = false;
  bool exclude_delimiter = false;
  CLI::App* learn_cmd = app.add_subcommand("learn", "build or extend a dictionary from text");
  learn_cmd->add_option("files", learn.Files, "text files to learn from (- for standard input)");
  learn_cmd->add_option("-o,--output", learn.Output, "the dictionary, opened if it exists")
      ->required();
  learn_cmd->add_option("--fixed", learn.FixedBlock, "cut the input into blocks of N bytes")
      ->check(CLI::Range(1, 7));
  learn_cmd->add_option("--encoded-size", learn.EncodedSize, "bytes per code, 0 for variable")
      ->check(CLI::Range(0, 4));
  auto* incl = learn_cmd->add_flag("--include-delimiter", include_delimiter,
                                   "the first delimiter after a word belongs to it");
  auto* excl = learn_cmd->add_flag("--exclude-delimiter", exclude_delimiter,
                                   "words end before their first delimiter (new dictionaries)");
  incl->excludes(excl);
  auto* learn_utf8 = learn_cmd->add_flag(
      "--utf8", learn.Utf8, "every byte from 128 up is a letter (UTF-8 text; the default for new dictionaries)");
  learn_cmd->add_flag("--bytes", learn.Bytes, "byte mode: the default delimiters, bytes from 128 up among them")
      ->excludes(learn_utf8);
  learn_cmd->add_option("--counts", learn.CountsFile, "add the word<TAB>count lines of FILE");
  learn_cmd->add_flag("--protect", learn.Protect, "protect the dictionary with a password");
  learn_cmd->add_option("--password-file", common.PasswordFile,
                        "read passwords from this file's first line");

  std::vector<std::string> count_files;
  bool count_utf8 = false;
  bool count_bytes = false;
  CLI::App* count_cmd =
      app.add_subcommand("count", "print word<TAB>count for the words of text, sorted by word");
  count_cmd->add_option("files", count_files, "text files (default: standard input)");
  auto* count_utf8_flag =
      count_cmd->add_flag("--utf8", count_utf8, "every byte from 128 up is a letter (UTF-8 text; the default)");
  count_cmd->add_flag("--bytes", count_bytes, "byte mode: the default delimiters, bytes from 128 up among them")
      ->excludes(count_utf8_flag);

  ImportOptions import_options;
  CLI::App* import_cmd = app.add_subcommand(
      "import", "write a Hunspell dictionary (.aff + .dic) as a spell file of its word forms");
  import_cmd->add_option("files", import_options.Files, "the .dic and the .aff (either finds the other)")
      ->required();
  import_cmd->add_option("-o,--output", import_options.Output, "the spell file written")->required();
  import_cmd->add_option("--counts", import_options.CountsFile,
                         "word<TAB>count lines giving the words' frequencies");

  CheckOptions check;
  bool interactive = false;
  CLI::App* check_cmd = app.add_subcommand("check", "list the unknown words of text files");
  check_cmd->add_option("files", check.Files, "text files (- for standard input)")->required();
  AddDictionaryOptions(check_cmd, common);
  check_cmd->add_flag("--case-sensitive", common.CaseSensitive,
                      "capitalised words need their own dictionary entry");
  check_cmd->add_option("--max-suggestions", check.MaxSuggestions,
                        "suggestions per word, 0 for none (default 10)")
      ->check(CLI::Range(std::size_t{0}, kMaxSuggestions));
  AddRankingOption(check_cmd, common);
  AddModeOption(check_cmd, common);
  check_cmd->add_option("-p,--personal", check.Personal,
                        "personal word list (default: the dictionary's in the user's data folder)");
  check_cmd->add_flag("--interactive", interactive,
                      "ask about each unknown word and correct the files in place; commands\n"
                      "are read from standard input, the words and prompts go to stderr");

  std::vector<std::string> words;
  CLI::App* suggest_cmd = app.add_subcommand("suggest", "propose corrections for words");
  suggest_cmd->add_option("words", words, "the words")->required();
  AddDictionaryOptions(suggest_cmd, common);
  suggest_cmd->add_flag("--case-sensitive", common.CaseSensitive,
                        "capitalised words need their own dictionary entry");
  suggest_cmd->add_option("--max-suggestions", check.MaxSuggestions,
                          "suggestions per word (default 10)")
      ->check(CLI::Range(std::size_t{0}, kMaxSuggestions));
  AddRankingOption(suggest_cmd, common);

  std::string from, to;
  CLI::App* list_cmd = app.add_subcommand("list", "print the dictionary's words, sorted");
  AddDictionaryOptions(list_cmd, common);
  list_cmd->add_option("--from", from, "the first word (A-Z compared without case)");
  list_cmd->add_option("--to", to, "the last word");

  CLI::App* add_cmd = app.add_subcommand("add", "add words to -d DICT (created if missing)");
  add_cmd->add_option("words", words, "the words")->required();
  AddDictionaryOptions(add_cmd, common);
  CLI::App* delete_cmd = app.add_subcommand("delete", "delete words from -d DICT");
  delete_cmd->add_option("words", words, "the words")->required();
  AddDictionaryOptions(delete_cmd, common);

  std::string info_dict;
  CLI::App* info_cmd = app.add_subcommand("info", "print a dictionary's settings and sizes");
  info_cmd->add_option("dictionary", info_dict, "the dictionary (default: -d or the default)");
  AddDictionaryOptions(info_cmd, common);

  std::string in_file, out_file;
  bool raw_stream = false;
  CLI::App* encode_cmd = app.add_subcommand("encode", "encode IN into OUT with the dictionary");
  CLI::App* decode_cmd = app.add_subcommand("decode", "decode IN into OUT with the dictionary");
  for (CLI::App* cmd : {encode_cmd, decode_cmd}) {
    cmd->add_option("in", in_file, "input file")->required();
    cmd->add_option("out", out_file, "output file, replaced when complete")->required();
    cmd->add_flag("--raw", raw_stream,
                  "the library's plain stream, without the file's header (as the tool\n"
                  "wrote before); encode refuses a text it would not give back");
    AddDictionaryOptions(cmd, common);
  }

  CLI::App* pipe_cmd = app.add_subcommand("pipe", "the ispell pipe protocol (as -a)");
  AddPipeOptions(pipe_cmd, pipe, common);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);  // --help, --version
    return ReportError(std::cerr, e.what());
  }

  // IsMember accepted the names in any case.
  if (CLI::detail::to_lower(common.RankingName) == "sort-methods") {
    common.Ranking = wordloom::srkSortMethods;
  }
  common.Mode = ModeNames().at(CLI::detail::to_lower(common.ModeName));

  const std::vector<CLI::App*> chosen = app.get_subcommands();
  CLI::App* command = chosen.empty() ? nullptr : chosen.front();

  TerminalServices services;
  services.SetPasswordFile(common.PasswordFile);
  wordloom::ScopedApplicationServices scope(services);
  try {
    if (command == nullptr || command == pipe_cmd) {
      if (pipe.Version > 0) {
        std::cout << kIspellVersionLine << '\n';
        return kExitOk;
      }
      if (pipe.ListDictionaries) return RunListDictionaries(std::cout);
      if (command == nullptr && !pipe_flag && !pipe.List) {
        std::cerr << "usage: wordloom COMMAND [OPTIONS] [ARGS]  (wordloom --help lists them)\n"
                     "       wordloom -a [-d DICT] [-p PERSONAL]  ispell pipe on standard input\n"
                     "commands: learn import count check suggest list add delete info encode decode\n";
        return kExitError;
      }
      return RunPipeMode(pipe, common, services);
    }
    if (pipe_flag) throw CliError("-a cannot be combined with a subcommand");
    if (command == learn_cmd) {
      if (learn.Files.empty() && learn.CountsFile.empty()) {
        throw CliError("learn needs text files or --counts FILE");
      }
      if (include_delimiter) learn.Delimiter = wordloom::wldInclFirstSucc;
      if (exclude_delimiter) learn.Delimiter = wordloom::wldExclFirstSucc;
      return RunLearn(learn, services);
    }
    if (command == import_cmd) return RunImport(import_options, services, std::cerr);
    if (command == count_cmd) {
      if (count_files.empty()) count_files.push_back("-");
      return RunCount(count_files, !count_bytes, services, std::cout);
    }
    check.Dictionary = common.Dictionary;
    check.CaseSensitive = common.CaseSensitive;
    check.Ranking = common.Ranking;
    check.Mode = common.Mode;
    check.ModeGiven = check_cmd->count("--mode") > 0;
    if (command == check_cmd) {
      if (interactive) return RunInteractiveCheck(check, services, std::cin, std::cerr);
      return RunCheck(check, services, std::cout);
    }
    if (command == suggest_cmd) return RunSuggest(words, check, services, std::cout);
    if (command == list_cmd) return RunList(common.Dictionary, from, to, services, std::cout);
    if (command == add_cmd) return RunModify(common.Dictionary, words, true, services, std::cerr);
    if (command == delete_cmd) return RunModify(common.Dictionary, words, false, services, std::cerr);
    if (command == info_cmd) {
      return RunInfo(info_dict.empty() ? common.Dictionary : info_dict, services, std::cout);
    }
    if (command == encode_cmd || command == decode_cmd) {
      return RunCode(common.Dictionary, in_file, out_file, command == encode_cmd, services,
                     std::cin, std::cout, raw_stream);
    }
  } catch (const std::bad_alloc&) {
    return ReportError(std::cerr, "out of memory");
  } catch (const std::exception& e) {
    return ReportError(std::cerr, e.what());
  }
  return kExitError;
}
