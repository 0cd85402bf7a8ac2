// TSpellOptsDlg: the standard options dialog. One modal form with three pages
// edits a checker's settings: "Suggestions" (deviation budgets, suggestion
// limit, sort methods), "Code" (block sizes, type of input) and "Tokens"
// (format character, delimiter option, delimiters). The controls are a
// working copy: Execute and "Undo" load them, only "OK" writes them back.
//
//   TSpellOptsDlg options(nullptr);
//   options.Execute(&checker, {sopSuggestions, sopCode, sopTokens});
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "wordloom/checking/spell_dialogs.h"
#include "wordloom/dialogs/modal_form.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace wordloom {

class TSpellOptsDlg;

// The modal form of TSpellOptsDlg; it hides when closed and is reused.
class TSpellOptionsDlg : public dialogs::ModalForm {
  Q_OBJECT

 public:
  explicit TSpellOptionsDlg(QWidget* Parent = nullptr);

  QTabWidget* PageControl1;
  QWidget* TabSheet1;    // "Suggestions"
  QWidget* TabSheet2;    // "Code"
  QWidget* TabSheet3;    // "Tokens"
  QPushButton* Button1;  // "OK", the default button
  QPushButton* Button2;  // "Cancel", also Esc
  QPushButton* Button3;  // "Undo"

  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label7;
  QSpinBox* SpinEdit1;   // MaxDevDelete
  QSpinBox* SpinEdit2;   // MaxDevInsert
  QSpinBox* SpinEdit3;   // MaxDevSubstitute
  QSpinBox* SpinEdit5;   // MaxDevAppend
  QSpinBox* SpinEdit4;   // SuggestionLimit
  QComboBox* ComboBox1;  // SortMethod1
  QComboBox* ComboBox2;  // SortMethod2

  QLabel* Label8;
  QLabel* Label9;
  QLabel* Label10;
  QSpinBox* SpinEdit6;   // EncodedBlockSize
  QSpinBox* SpinEdit7;   // UnencodedBlockSize
  QComboBox* ComboBox3;  // TypeOfInput

  QLabel* Label11;
  QLabel* Label12;
  QLabel* Label13;
  // The code box: a fixed "#" and three decimal digit places ("#035").
  QLineEdit* MaskEdit1;
  // The character box: the token as one character (codes read as Latin-1).
  QLineEdit* MaskEdit2;
  QLineEdit* Edit2;      // the replacement text
  QCheckBox* CheckBox1;  // DelimiterOption
  // 256 check boxes, item n for the character with code n.
  QListWidget* CheckListBox1;

  // Fills CheckListBox1 with its 256 items ("#41  A" for code 65).
  void FormCreate();
  // OK: writes the controls into the checker and closes with mrOk. An error
  // (a bad code, the token inside the replacement) is shown and the form
  // stays open.
  void Button1Click();
  // Cancel: closes with mrCancel; the checker is not changed.
  void Button2Click();
  // Undo: the controls show the checker's values again.
  void Button3Click();
  // Leaving the code box shows its code in the character box (modulo 256).
  void MaskEdit1Exit();
  // A character typed into the character box replaces it and puts its code
  // into the code box. Characters above code 255 are refused.
  void MaskEdit2KeyPress(QChar Key);

  // The number in the code box's digit places. Raises EConvertError when the
  // places are blank or do not form a number.
  int CodeBoxValue() const;

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  friend class TSpellOptsDlg;
  TSpellOptsDlg* FOptsDlg = nullptr;
  // The replacement as loaded, as bytes and as shown: an unchanged box writes
  // the bytes back exactly.
  std::string FLoadedReplacement;
  QString FLoadedReplacementText;
};

class TSpellOptsDlg : public TCustomSpellOptsDlg {
 public:
  WORDLOOM_OBJECT(TSpellOptsDlg)

  explicit TSpellOptsDlg(TComponent* AOwner);
  ~TSpellOptsDlg() override;

  // Loads the form from Checker, shows the tabs of Pages and runs the form
  // modally. Raises ERangeError (form not shown) when a setting is 2^31 or
  // more. Without a QApplication it does nothing.
  void Execute(TVelkSpellChecker* Checker, TPageSet Pages) override;
  // Writes every control's value into the checker being edited. Everything
  // is checked first: on an error nothing is written.
  void SaveChanges();
  // Reloads every control from the checker being edited.
  void UndoChanges();

  // The checker of the last Execute; nullptr once it is destroyed.
  TVelkSpellChecker* Checker() const { return FChecker; }
  // The form, made at the first call (it needs a QApplication).
  TSpellOptionsDlg* Form();

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TVelkSpellChecker* FChecker = nullptr;
  std::unique_ptr<TSpellOptionsDlg> FForm;
};

}  // namespace wordloom
