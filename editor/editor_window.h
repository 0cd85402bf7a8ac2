// The main window of wordloom-editor: a plain-text editor whose words the
// checker marks as you type, with a context menu of suggestions, a full
// check through the check dialog, the options dialog, and dictionary files.
#pragma once

#include <wordloom/dialogs/highlighter.h>
#include <wordloom/dialogs/qt_memo.h>
#include <wordloom/wordloom.h>

#include <QMainWindow>
#include <QPlainTextEdit>
#include <QString>
#include <memory>

class QAction;
class QLabel;

namespace wordloom::editor {

// The checker of the editor. Saving a dictionary writes it even when the
// checker thinks its file is up to date (a "Save as" of an unchanged one).
class EditorChecker : public TVelkSpellChecker {
 public:
  using TVelkSpellChecker::TVelkSpellChecker;
  void MarkModified() { FSpellModified = true; }
};

// The text field: its context menu starts with the spelling entries for the
// word under the mouse.
class SpellTextEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit SpellTextEdit(QWidget* Parent = nullptr) : QPlainTextEdit(Parent) {}
  void SetHighlighter(dialogs::SpellHighlighter* Highlighter) { FHighlighter = Highlighter; }
  // The context menu for the word at viewport point Pos (the caller owns it).
  QMenu* SpellContextMenu(const QPoint& Pos);

 protected:
  void contextMenuEvent(QContextMenuEvent* Event) override;

 private:
  dialogs::SpellHighlighter* FHighlighter = nullptr;
};

class EditorWindow : public QMainWindow {
  Q_OBJECT

 public:
  EditorWindow();
  ~EditorWindow() override;

  // Opens a dictionary file; false (after saying why) when it cannot.
  bool OpenDictionary(const QString& FileName);
  // Loads a text file into the editor; false (after saying why) when it cannot.
  bool OpenText(const QString& FileName);
  SpellTextEdit* Edit() const { return FEdit; }
  dialogs::SpellHighlighter* Highlighter() const { return FHighlighter; }
  EditorChecker& Checker() { return *FChecker; }
  // Batch mode: warnings go to stderr instead of a message box.
  void SetBatch(bool Value) { FBatch = Value; }
  // How many words of the text are marked now.
  int MarkedWordCount();

 protected:
  void closeEvent(QCloseEvent* Event) override;

 private:
  void CreateMenus();
  bool SaveText(const QString& FileName);
  bool SaveDictionary(const QString& FileName);
  // Asks whether to save unsaved text and new dictionary words; false: cancel.
  bool MayDiscardChanges();
  void CheckSpelling();
  void ShowOptions();
  void LearnFromFile();
  void SetEncoding(dialogs::TMemoEncoding Encoding);
  void UpdateStatus();
  void Warn(const QString& Text);
  // Runs Action; a wordloom exception becomes a message box.
  template <typename Fn>
  bool Guarded(Fn&& Action);

  // The checker refers to the memo and the dialogs: it goes first.
  SpellTextEdit* FEdit;
  std::unique_ptr<dialogs::TQtPlainTextMemo> FMemo;
  std::unique_ptr<TCustomSpellCheckDlg> FQtCheckDlg;
  std::unique_ptr<dialogs::THighlighterCheckDlg> FCheckDlg;
  std::unique_ptr<EditorChecker> FChecker;
  dialogs::SpellHighlighter* FHighlighter;
  QLabel* FStatus;
  QString FTextFile;
  // The text file had Windows line breaks: saving writes them again.
  bool FCrlf = false;
  bool FBatch = false;
};

}  // namespace wordloom::editor
