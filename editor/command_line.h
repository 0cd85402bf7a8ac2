// The command line of wordloom-editor: its options in one place, for the
// editor and for the answers that need no window system.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <optional>

namespace wordloom::editor {

// The parser with the editor's options: -d/--dictionary FILE,
// --screenshot FILE, --help, --version and the text file.
struct CommandLine {
  CommandLine();
  QCommandLineParser Parser;
  QCommandLineOption Dictionary;
  QCommandLineOption Screenshot;
};

// Answers --help and --version (also -h, -?, --help-all, -v) with only a
// QCoreApplication, so that they work without a display: prints the text and
// returns the exit status. Nothing for any other command line, which the
// editor parses once its QApplication has taken Qt's own options out.
std::optional<int> AnswerWithoutWindows(int Argc, char** Argv);

}  // namespace wordloom::editor
