#include "wordloom/dialogs/password_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "wordloom/platform/application_services.h"

namespace wordloom {

TPasswordDlg* PasswordDlg = nullptr;

TPasswordDlg::TPasswordDlg(QWidget* Parent) : ModalForm(Parent) {
  setObjectName(QStringLiteral("PasswordDlg"));
  setWindowTitle(QStringLiteral("Password Dialog"));
  SetClientSize(233, 93);

  Label1 = new QLabel(QStringLiteral("Enter password:"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  // The caption decides the label's size, as with the host's self-sizing labels.
  Label1->move(8, 9);
  Label1->adjustSize();

  Password = new QLineEdit(this);
  Password->setObjectName(QStringLiteral("Password"));
  Password->setGeometry(8, 27, 217, 21);
  Password->setEchoMode(QLineEdit::Password);
  // Qt styles pick their own mask character; this form shows "*" (42).
  Password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry(70, 59, 75, 25);
  OKBtn->setDefault(true);
  SetModalResult(OKBtn, mrOk);

  CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  CancelBtn->setGeometry(150, 59, 75, 25);
  CancelBtn->setAutoDefault(false);
  SetModalResult(CancelBtn, mrCancel);

  setTabOrder(Password, OKBtn);
  setTabOrder(OKBtn, CancelBtn);
  Password->setFocus();
}

}  // namespace wordloom
