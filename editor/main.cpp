// wordloom-editor [-d DICTIONARY] [TEXTFILE]
//
// A plain-text editor that marks misspelled words as you type. The dictionary
// is the one given with -d (a file or a name such as en_GB), else the
// default one (see default_dictionary.h), else a new, empty one.
// --screenshot FILE renders the window (with the spelling menu of the last
// marked word open) to FILE and quits; run it with QT_QPA_PLATFORM=offscreen
// to need no display.
#include <wordloom/dialogs/install.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QTextBlock>
#include <QTextLayout>
#include <cstdio>
#include <memory>
#include <optional>

#include "command_line.h"
#include "default_dictionary.h"
#include "editor_window.h"

namespace {

// The document position of the last marked word, or -1.
int LastMarkedPosition(const QTextDocument& Document) {
  int last = -1;
  for (QTextBlock b = Document.begin(); b.isValid(); b = b.next()) {
    for (const QTextLayout::FormatRange& r : b.layout()->formats()) {
      if (r.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline) {
        last = b.position() + r.start;
      }
    }
  }
  return last;
}

// The window with the context menu of its last marked word drawn where a
// right-click on the word would open it.
int Screenshot(wordloom::editor::EditorWindow& Window, const QString& File) {
  Window.show();
  QApplication::processEvents();
  QPixmap shot = Window.grab();
  const int marked = Window.MarkedWordCount();
  const int at = LastMarkedPosition(*Window.Edit()->document());
  if (at >= 0) {
    QTextCursor cursor(Window.Edit()->document());
    cursor.setPosition(at + 1);
    const QPoint in_view = Window.Edit()->cursorRect(cursor).bottomLeft();
    std::unique_ptr<QMenu> menu(Window.Edit()->SpellContextMenu(in_view));
    menu->adjustSize();
    const QPixmap menu_shot = menu->grab();
    QPainter painter(&shot);
    painter.drawPixmap(Window.Edit()->viewport()->mapTo(&Window, in_view), menu_shot);
  }
  if (!shot.save(File, "PNG")) {
    std::fprintf(stderr, "wordloom-editor: cannot write %s\n", qPrintable(File));
    return 1;
  }
  std::printf("%s: marked %d words\n", qPrintable(File), marked);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("wordloom-editor"));
  QCoreApplication::setApplicationVersion(QStringLiteral(WORDLOOM_VERSION));
  // --help and --version need no display.
  if (const std::optional<int> status = wordloom::editor::AnswerWithoutWindows(argc, argv)) {
    return *status;
  }
  QApplication app(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("wordloom-editor"));
  // The icon installed with the desktop entry, where the theme has it.
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("wordloom-editor")));
  wordloom::dialogs::Install();

  wordloom::editor::CommandLine command_line;
  QCommandLineParser& parser = command_line.Parser;
  const QCommandLineOption& dictionary = command_line.Dictionary;
  const QCommandLineOption& screenshot = command_line.Screenshot;
  parser.process(app);

  wordloom::editor::EditorWindow window;
  window.SetBatch(parser.isSet(screenshot));
  // Without -d the default dictionary, else a new, empty one.
  const QString given = parser.isSet(dictionary) ? parser.value(dictionary) : QString();
  if (!window.OpenNamedDictionary(given) && parser.isSet(dictionary) && parser.isSet(screenshot)) {
    return 1;
  }
  const QStringList texts = parser.positionalArguments();
  if (!texts.isEmpty() && !window.OpenText(texts.first()) && parser.isSet(screenshot)) return 1;
  if (parser.isSet(screenshot)) return Screenshot(window, parser.value(screenshot));
  window.show();
  return QApplication::exec();
}
