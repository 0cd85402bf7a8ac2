#include "wordloom/dialogs/modal_form.h"

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

void ModalForm::showEvent(QShowEvent* Event) {
  detail::CenterOnScreen(this);
  QDialog::showEvent(Event);
}

}  // namespace wordloom::dialogs
