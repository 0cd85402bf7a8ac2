// The main window of wordloom-editor: a plain-text editor whose words the
// checker marks as you type, with a context menu of suggestions, a full
// check through the check dialog, the options dialog, and dictionary files.
#pragma once

#include <wordloom/dialogs/highlighter.h>
#include <wordloom/dialogs/qt_memo.h>
#include <wordloom/dialogs/text_file.h>
#include <wordloom/wordloom.h>

#include <QMainWindow>
#include <QPlainTextEdit>
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QLabel;

namespace wordloom::editor {

// The checker of the editor. Saving a dictionary writes it even when the
// checker thinks its file is up to date (a "Save as" of an unchanged one).
class EditorChecker : public TVelkSpellChecker {
 public:
  using TVelkSpellChecker::TVelkSpellChecker;
  void MarkModified() { FSpellModified = true; }
  // After words were added for the personal list only: nothing to save.
  void MarkUnmodified() { FSpellModified = false; }
};

// The text field: its context menu starts with the spelling entries for the
// word under the mouse.
class SpellTextEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit SpellTextEdit(QWidget* Parent = nullptr) : QPlainTextEdit(Parent) {}
  void SetHighlighter(dialogs::SpellHighlighter* Highlighter) { FHighlighter = Highlighter; }
  // Called with the word of "Add to dictionary", after the checker added it.
  void SetOnAddWord(std::function<void(const std::string&)> OnAdd) { FOnAddWord = std::move(OnAdd); }
  // The context menu for the word at viewport point Pos (the caller owns it).
  QMenu* SpellContextMenu(const QPoint& Pos);

 signals:
  // "Add to dictionary" of the context menu added a word.
  void WordAdded();

 protected:
  void contextMenuEvent(QContextMenuEvent* Event) override;

 private:
  dialogs::SpellHighlighter* FHighlighter = nullptr;
  std::function<void(const std::string&)> FOnAddWord;
};

class EditorWindow : public QMainWindow {
  Q_OBJECT

 public:
  EditorWindow();
  ~EditorWindow() override;

  // Opens a dictionary file and the personal word list of its name; false
  // (after saying why) when it cannot.
  bool OpenDictionary(const QString& FileName);
  // Opens the dictionary Given names (a path or a name such as "en_GB";
  // empty: the default) as the command-line tool finds it, with the personal
  // word list of that name. One found by name is shared: the editor never
  // writes it. False when there is none (said unless Given is empty).
  bool OpenNamedDictionary(const QString& Given);
  // The words "Add to dictionary" and the check dialog's Add keep: saved at
  // once to the personal word list, never into the dictionary.
  const PersonalWordList& PersonalList() const { return FPersonal; }
  // Loads a text file into the editor; false (after saying why) when it cannot.
  // A file that is not valid UTF-8 is read as Windows-1252, with a warning.
  bool OpenText(const QString& FileName);
  // Writes the text to FileName in the encoding it was read in; when a
  // character has no place there, asks whether to write UTF-8 instead.
  bool SaveText(const QString& FileName);
  // The encoding the text file is written in.
  dialogs::TMemoEncoding FileEncoding() const { return FFile.Encoding; }
  // The status bar's text: the dictionary, its words, the file's encoding.
  QString StatusText() const;
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
  bool SaveDictionary(const QString& FileName);
  // The file a save of the dictionary goes to: its own, or when it is shared
  // or new, one the user chooses (empty when cancelled).
  QString DictionarySaveName();
  // Loads the personal word list File; its words become known.
  void UsePersonalList(const std::string& File);
  // Keeps Word (already added to the checker) in the personal word list.
  void AddPersonalWord(const std::string& Word);
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
  std::unique_ptr<TCustomSpellCheckDlg> FPersonalCheckDlg;
  std::unique_ptr<EditorChecker> FChecker;
  dialogs::SpellHighlighter* FHighlighter;
  QLabel* FStatus;
  QLabel* FEncodingStatus;
  QString FTextFile;
  // How the text file was read and is written (its Text is not kept).
  dialogs::TextFileContent FFile;
  bool FBatch = false;
  PersonalWordList FPersonal;
  // The dictionary was found by name: a save asks for a file of the user's.
  bool FSharedDictionary = false;
  // The dictionary itself changed (learned from a file, options): closing asks to save it.
  bool FDictionaryEdited = false;
};

}  // namespace wordloom::editor
