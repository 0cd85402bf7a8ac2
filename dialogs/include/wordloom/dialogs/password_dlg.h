// TPasswordDlg: the form that asks for the password of a protected spell
// file, or for a new one. The caller sets the caption to its question, runs
// the form modally (mrOk or mrCancel) and reads the text of Password.
#pragma once

#include "wordloom/dialogs/modal_form.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace wordloom {

class TPasswordDlg : public dialogs::ModalForm {
  Q_OBJECT

 public:
  explicit TPasswordDlg(QWidget* Parent = nullptr);

  QLabel* Label1;
  // Echoes one "*" per character typed.
  QLineEdit* Password;
  // The default button (Enter): mrOk.
  QPushButton* OKBtn;
  // The cancel button (Esc): mrCancel.
  QPushButton* CancelBtn;
};

// The form of the current password question, while one is asked; nullptr
// otherwise.
extern TPasswordDlg* PasswordDlg;

}  // namespace wordloom
