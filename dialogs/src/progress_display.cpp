#include "wordloom/dialogs/progress_display.h"

#include <QProgressBar>
#include <algorithm>

#include "form_support.h"

namespace wordloom {

TProgressDisplay::TProgressDisplay(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("ProgressDisplay"));
  setWindowTitle(QStringLiteral("Spell in progress ..."));
  dialogs::detail::ApplyFormFont(this);
  setFixedSize(343, 25);

  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setGeometry(0, 0, 343, 25);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
}

int TProgressDisplay::GetMax() const { return ProgressBar1->maximum(); }

// A Qt progress bar forgets its value when the range no longer holds it and
// ignores values outside the range; this bar clamps, as the forms' callers
// expect of a progress bar.
void TProgressDisplay::SetMax(int Value) {
  const int position = ProgressBar1->value();
  ProgressBar1->setMaximum(Value);
  SetPosition(position);
}

int TProgressDisplay::GetPosition() const { return ProgressBar1->value(); }

void TProgressDisplay::SetPosition(int Value) {
  ProgressBar1->setValue(std::clamp(Value, ProgressBar1->minimum(), ProgressBar1->maximum()));
}

void TProgressDisplay::Show() {
  dialogs::detail::CenterOnScreen(this);
  show();
  raise();
}

void TProgressDisplay::Hide() { hide(); }

bool TProgressDisplay::Visible() const { return isVisible(); }

}  // namespace wordloom
