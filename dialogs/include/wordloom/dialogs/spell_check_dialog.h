// TSpellCheckDialog: the standard check dialog. It shows the word the checker
// does not know in an edit box and the checker's suggestions in a list, and
// returns the user's decision: Add, Replace, Replace all, Ignore, Ignore all,
// Options or Cancel. Its form, TSpellCheckDlg, is made once and reused.
//
//   TSpellCheckDialog dialog(nullptr);
//   checker.SetCheckDialog(&dialog);
//   std::string word = "teh";
//   if (dialog.Execute(&checker, word) == crReplace) { ... word is the answer }
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "wordloom/checking/spell_dialogs.h"
#include "wordloom/dialogs/modal_form.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace wordloom {

class TSpellCheckDialog;

// The modal form of TSpellCheckDialog. Every button closes it with its modal
// result (Add mrYes, Replace mrOk, Replace all mrYesToAll, Ignore mrIgnore,
// Ignore all mrNoToAll, Options mrAll, Cancel mrCancel). There is no default
// button; Cancel has the focus when the form opens and Esc presses it.
class TSpellCheckDlg : public dialogs::ModalForm {
  Q_OBJECT

 public:
  explicit TSpellCheckDlg(QWidget* Parent = nullptr);

  QLineEdit* WordEdit;
  QPushButton* AddBtn;
  QPushButton* ReplaceBtn;
  QPushButton* ReplaceAllBtn;
  QPushButton* IgnoreBtn;
  QPushButton* IgnoreAllBtn;
  QListWidget* SuggLB;
  QPushButton* OptsBtn;
  QPushButton* CancelBtn;

  // The selected suggestion becomes the answer text; the edit box stays.
  void SuggLBClick();
  // The text of WordEdit becomes the answer text.
  void WordEditChange();

 private:
  friend class TSpellCheckDialog;
  TSpellCheckDialog* FDialog = nullptr;
  // The suggestions as bytes, item by item: a suggestion picked from the list
  // is returned exactly, whatever its text looked like on the screen.
  std::vector<std::string> FSuggestionBytes;
};

class TSpellCheckDialog : public TCustomSpellCheckDlg {
 public:
  WORDLOOM_OBJECT(TSpellCheckDialog)

  explicit TSpellCheckDialog(TComponent* AOwner);
  ~TSpellCheckDialog() override;

  // Shows AWord and the checker's suggestions; returns the decision. AWord
  // receives the answer text for crAdd, crReplace, crReplaceAll and
  // crIgnoreAll and is unchanged otherwise. Without a QApplication the answer
  // is crCancel. Checker may be nullptr (no suggestions).
  TCheckResults Execute(TVelkSpellChecker* Checker, std::string& AWord) override;

  // The form, made at the first call (it needs a QApplication).
  TSpellCheckDlg* Form();

 private:
  friend class TSpellCheckDlg;
  // What the user last typed in the edit box or picked from the list.
  std::string FNewWord;
  std::unique_ptr<TSpellCheckDlg> FForm;
};

}  // namespace wordloom
