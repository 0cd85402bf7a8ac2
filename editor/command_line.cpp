#include "command_line.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

namespace wordloom::editor {

namespace {

// Whether an argument asks for text only: help or the version.
bool IsInfoOption(const char* Arg) {
  for (const char* o : {"-h", "-?", "--help", "--help-all", "-v", "--version"}) {
    if (std::strcmp(Arg, o) == 0) return true;
  }
  return false;
}

}  // namespace

CommandLine::CommandLine()
    : Dictionary({QStringLiteral("d"), QStringLiteral("dictionary")},
                 QStringLiteral("The dictionary to check with: a spell file or a name such "
                                "as en_US, en_GB or de_DE (default: $WORDLOOM_DICT, else en)."),
                 QStringLiteral("DICTIONARY")),
      Screenshot(QStringLiteral("screenshot"),
                 QStringLiteral("Render the window to a PNG file and quit."),
                 QStringLiteral("FILE")) {
  Parser.setApplicationDescription(
      QStringLiteral("A text editor that marks misspelled words as you type.\n"
                     "The manual: man wordloom-editor."));
  Parser.addHelpOption();
  Parser.addVersionOption();
  Parser.addOption(Dictionary);
  Parser.addOption(Screenshot);
  Parser.addPositionalArgument(QStringLiteral("TEXTFILE"), QStringLiteral("The text to open."));
}

std::optional<int> AnswerWithoutWindows(int Argc, char** Argv) {
  bool info = false;
  for (int i = 1; i < Argc && std::strcmp(Argv[i], "--") != 0; ++i)
    info = info || IsInfoOption(Argv[i]);
  if (!info) return std::nullopt;
  QCoreApplication app(Argc, Argv);
  CommandLine command_line;
  // Prints the help or the version and exits, or reports a mistake and exits.
  command_line.Parser.process(app);
  return 0;
}

}  // namespace wordloom::editor
