// ModalForm: the base of the module's modal forms. exec() returns the modal
// result (mrOk, mrCancel, ...) of the button that closed the form.
#pragma once

#include <QDialog>

class QPushButton;

namespace wordloom::dialogs {

// A dialog whose exec() returns the modal result (mrOk, mrCancel, ...) of the
// button that closed it. Esc and the window's close box give mrCancel. Enter
// presses the focused button, else the default button if the form has one,
// else nothing.
class ModalForm : public QDialog {
 public:
  explicit ModalForm(QWidget* Parent = nullptr);

  // A fixed client area of Width x Height pixels.
  void SetClientSize(int Width, int Height);
  // Clicking Button closes the form with ModalResult.
  void SetModalResult(QPushButton* Button, int ModalResult);

  void reject() override;
  // Before showing: only a button made default answers Enter from elsewhere
  // (Qt would otherwise promote the first button it finds).
  void setVisible(bool Visible) override;

 protected:
  void keyPressEvent(QKeyEvent* Event) override;
  // Every showing centres the form on the screen.
  void showEvent(QShowEvent* Event) override;
};

}  // namespace wordloom::dialogs
