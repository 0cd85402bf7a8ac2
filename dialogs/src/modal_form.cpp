#include "wordloom/dialogs/modal_form.h"

#include <QKeyEvent>
#include <QPushButton>

#include "form_support.h"
#include "wordloom/platform/application_services.h"

namespace wordloom::dialogs {

ModalForm::ModalForm(QWidget* Parent) : QDialog(Parent) {
  setModal(true);
  detail::ApplyFormFont(this);
}

void ModalForm::SetClientSize(int Width, int Height) { setFixedSize(Width, Height); }

void ModalForm::SetModalResult(QPushButton* Button, int ModalResult) {
  connect(Button, &QPushButton::clicked, this, [this, ModalResult] { done(ModalResult); });
}

void ModalForm::reject() { done(mrCancel); }

void ModalForm::setVisible(bool Visible) {
  if (Visible) {
    for (QPushButton* button : findChildren<QPushButton*>()) {
      if (!button->isDefault()) button->setAutoDefault(false);
    }
  }
  QDialog::setVisible(Visible);
}

void ModalForm::keyPressEvent(QKeyEvent* Event) {
  const bool enter = Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter;
  if (enter && Event->modifiers() == Qt::NoModifier) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->click();
      return;
    }
  }
  QDialog::keyPressEvent(Event);
}

void ModalForm::showEvent(QShowEvent* Event) {
  detail::CenterOnScreen(this);
  QDialog::showEvent(Event);
}

}  // namespace wordloom::dialogs
