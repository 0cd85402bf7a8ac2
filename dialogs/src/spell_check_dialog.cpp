#include "wordloom/dialogs/spell_check_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "form_support.h"
#include "wordloom/checking/velk_spell_checker.h"
#include "wordloom/platform/application_services.h"

namespace wordloom {

TSpellCheckDlg::TSpellCheckDlg(QWidget* Parent) : ModalForm(Parent) {
  setObjectName(QStringLiteral("SpellCheckDlg"));
  setWindowTitle(QStringLiteral("Spell check"));
  // A dialog border with the system menu and the minimise box.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  SetClientSize(394, 225);

  WordEdit = new QLineEdit(this);
  WordEdit->setObjectName(QStringLiteral("WordEdit"));
  WordEdit->setGeometry(8, 8, 377, 21);
  connect(WordEdit, &QLineEdit::textChanged, this, [this] { WordEditChange(); });

  struct ButtonLayout {
    QPushButton** Button;
    const char* Name;
    const char* Caption;
    int Left, Top, Width, Height;
    int ModalResult;
  };
  const ButtonLayout buttons[] = {
      {&AddBtn, "AddBtn", "Add", 32, 40, 65, 25, mrYes},
      {&ReplaceBtn, "ReplaceBtn", "Replace", 104, 40, 65, 25, mrOk},
      {&ReplaceAllBtn, "ReplaceAllBtn", "Replace all", 176, 40, 65, 25, mrYesToAll},
      {&IgnoreBtn, "IgnoreBtn", "Ignore", 248, 40, 67, 25, mrIgnore},
      {&IgnoreAllBtn, "IgnoreAllBtn", "Ignore all", 320, 40, 65, 25, mrNoToAll},
      {&OptsBtn, "OptsBtn", "Options", 232, 192, 75, 25, mrAll},
      {&CancelBtn, "CancelBtn", "Cancel", 312, 192, 75, 25, mrCancel},
  };
  for (const ButtonLayout& s : buttons) {
    auto* button = new QPushButton(QString::fromLatin1(s.Caption), this);
    button->setObjectName(QString::fromLatin1(s.Name));
    button->setGeometry(s.Left, s.Top, s.Width, s.Height);
    SetModalResult(button, s.ModalResult);
    *s.Button = button;
  }

  SuggLB = new QListWidget(this);
  SuggLB->setObjectName(QStringLiteral("SuggLB"));
  SuggLB->setGeometry(8, 72, 377, 113);
  SuggLB->setUniformItemSizes(true);
  // A click picks the item under the mouse even when it is already selected;
  // the keys move the selection.
  connect(SuggLB, &QListWidget::itemClicked, this, [this] { SuggLBClick(); });
  connect(SuggLB, &QListWidget::itemSelectionChanged, this, [this] { SuggLBClick(); });

  // Tab order 0 to 8.
  QWidget* const order[] = {CancelBtn, ReplaceBtn, WordEdit,      IgnoreBtn,   OptsBtn,
                            AddBtn,    SuggLB,     ReplaceAllBtn, IgnoreAllBtn};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TSpellCheckDlg::SuggLBClick() {
  if (FDialog == nullptr) return;
  const int row = SuggLB->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= FSuggestionBytes.size()) return;
  if (!SuggLB->item(row)->isSelected()) return;
  FDialog->FNewWord = FSuggestionBytes[static_cast<std::size_t>(row)];
}

void TSpellCheckDlg::WordEditChange() {
  if (FDialog != nullptr) FDialog->FNewWord = dialogs::detail::ToBytes(WordEdit->text());
}

TSpellCheckDialog::TSpellCheckDialog(TComponent* AOwner) : TCustomSpellCheckDlg(AOwner) {}

TSpellCheckDialog::~TSpellCheckDialog() = default;

TSpellCheckDlg* TSpellCheckDialog::Form() {
  if (!FForm) FForm = std::make_unique<TSpellCheckDlg>();
  return FForm.get();
}

TCheckResults TSpellCheckDialog::Execute(TVelkSpellChecker* Checker, std::string& AWord) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return crCancel;
  TSpellCheckDlg* form = Form();
  // A copy of the suggestions, in their order.
  form->FDialog = nullptr;
  form->SuggLB->clear();
  form->FSuggestionBytes.clear();
  if (Checker != nullptr) {
    for (const std::string& s : Checker->Suggestions()) {
      form->FSuggestionBytes.push_back(s);
      form->SuggLB->addItem(dialogs::detail::ToQString(s));
    }
  }
  // The answer text starts as the word itself, byte for byte.
  form->FDialog = this;
  form->WordEdit->setText(dialogs::detail::ToQString(AWord));
  FNewWord = AWord;
  form->CancelBtn->setFocus();

  // The button that closed the form decides the answer.
  switch (form->exec()) {
    case mrOk:
      AWord = FNewWord;
      return crReplace;
    case mrYesToAll:
      AWord = FNewWord;
      return crReplaceAll;
    case mrYes:
      AWord = FNewWord;
      return crAdd;
    case mrIgnore:
      return crIgnore;
    case mrNoToAll:
      AWord = FNewWord;
      return crIgnoreAll;
    case mrAll:
      return crOptions;
    default:
      return crCancel;
  }
}

}  // namespace wordloom
