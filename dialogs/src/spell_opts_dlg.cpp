#include "wordloom/dialogs/spell_opts_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>
#include <climits>

#include "form_support.h"
#include "wordloom/checking/velk_spell_checker.h"
#include "wordloom/platform/application_services.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {

namespace {

using dialogs::detail::ToBytes;
using dialogs::detail::ToQString;

// Controls on a page are 21 pixels high; labels share the row of their control.
constexpr int kRowHeight = 21;

QLabel* AddLabel(QWidget* Page, const char* Name, const char* Caption, int Top) {
  auto* label = new QLabel(QString::fromLatin1(Caption), Page);
  label->setObjectName(QString::fromLatin1(Name));
  label->move(8, Top);
  label->setFixedHeight(kRowHeight);
  label->adjustSize();
  return label;
}

// Max 0 means not limited: any value a spin box holds, from 0 up.
QSpinBox* AddSpin(QWidget* Page, const char* Name, int Left, int Top, int Width, int Max) {
  auto* spin = new QSpinBox(Page);
  spin->setObjectName(QString::fromLatin1(Name));
  spin->setGeometry(Left, Top, Width, kRowHeight);
  spin->setRange(0, Max == 0 ? INT_MAX : Max);
  spin->setProperty("wordloomMax", spin->maximum());
  return spin;
}

QComboBox* AddCombo(QWidget* Page, const char* Name, int Top, const QStringList& Items) {
  auto* combo = new QComboBox(Page);
  combo->setObjectName(QString::fromLatin1(Name));
  combo->setGeometry(168, Top, 145, kRowHeight);
  combo->setEditable(false);
  combo->setMaxVisibleItems(4);
  combo->addItems(Items);
  return combo;
}

// Shows Value in Spin. A stored value beyond the box's usual range widens the
// range for this showing, so that OK without changes writes it back as it
// was; one a spin box cannot hold at all is a range error.
void LoadSpin(QSpinBox* Spin, std::uint32_t Value) {
  if (Value > static_cast<std::uint32_t>(INT_MAX)) {
    throw ERangeError("Range check error: " + std::to_string(Value) + " cannot be shown in " +
                      Spin->objectName().toStdString());
  }
  const int usual = Spin->property("wordloomMax").toInt();
  Spin->setMaximum(std::max(usual, static_cast<int>(Value)));
  Spin->setValue(static_cast<int>(Value));
}

std::uint32_t SpinValue(const QSpinBox* Spin) {
  return static_cast<std::uint32_t>(std::max(0, Spin->value()));
}

// The character with code Code, as the character box and the list show it.
QString CodeChar(int Code) { return QString(QChar(static_cast<char16_t>(Code))); }

}  // namespace

// ---- the form ----

TSpellOptionsDlg::TSpellOptionsDlg(QWidget* Parent) : ModalForm(Parent) {
  setObjectName(QStringLiteral("SpellOptionsDlg"));
  setWindowTitle(QStringLiteral("Spell Options"));
  SetClientSize(338, 261);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->setGeometry(0, 0, 338, 225);
  TabSheet1 = new QWidget;
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  TabSheet2 = new QWidget;
  TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
  TabSheet3 = new QWidget;
  TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
  PageControl1->addTab(TabSheet1, QStringLiteral("Suggestions"));
  PageControl1->addTab(TabSheet2, QStringLiteral("Code"));
  PageControl1->addTab(TabSheet3, QStringLiteral("Tokens"));

  // Page "Suggestions".
  Label1 = AddLabel(TabSheet1, "Label1", "Maximum # of characters to ignore:", 8);
  SpinEdit1 = AddSpin(TabSheet1, "SpinEdit1", 232, 8, 81, 255);
  Label2 = AddLabel(TabSheet1, "Label2", "Maximum # of characters to insert:", 32);
  SpinEdit2 = AddSpin(TabSheet1, "SpinEdit2", 232, 32, 81, 255);
  Label3 = AddLabel(TabSheet1, "Label3", "Maximum # of characters to substitute:", 56);
  SpinEdit3 = AddSpin(TabSheet1, "SpinEdit3", 232, 56, 81, 255);
  Label7 = AddLabel(TabSheet1, "Label7", "Maximum # of characters to append:", 80);
  SpinEdit5 = AddSpin(TabSheet1, "SpinEdit5", 232, 80, 81, 0);
  Label4 = AddLabel(TabSheet1, "Label4", "Maximum # of suggestions:", 112);
  SpinEdit4 = AddSpin(TabSheet1, "SpinEdit4", 192, 112, 121, 0);
  const QStringList sort_methods = {QStringLiteral("Alphabetic"), QStringLiteral("Frequency"),
                                    QStringLiteral("Deviation"), QStringLiteral("None")};
  Label5 = AddLabel(TabSheet1, "Label5", "Primary sort method:", 144);
  ComboBox1 = AddCombo(TabSheet1, "ComboBox1", 144, sort_methods);
  Label6 = AddLabel(TabSheet1, "Label6", "Secondary sort method:", 168);
  ComboBox2 = AddCombo(TabSheet1, "ComboBox2", 168, sort_methods);

  // Page "Code".
  Label8 = AddLabel(TabSheet2, "Label8", "Encoded blocksize (in bytes):", 8);
  SpinEdit6 = AddSpin(TabSheet2, "SpinEdit6", 232, 8, 81, 4);
  Label9 = AddLabel(TabSheet2, "Label9", "Unencoded blocksize (in bytes):", 32);
  SpinEdit7 = AddSpin(TabSheet2, "SpinEdit7", 232, 32, 81, 256);
  Label10 = AddLabel(TabSheet2, "Label10", "Type of input", 64);
  ComboBox3 = AddCombo(TabSheet2, "ComboBox3", 64,
                       {QStringLiteral("Text"), QStringLiteral("Fixed unencoded blocksize")});

  // Page "Tokens".
  Label12 = AddLabel(TabSheet3, "Label12", "Format character:", 8);
  MaskEdit1 = new QLineEdit(TabSheet3);
  MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
  MaskEdit1->setGeometry(192, 8, 41, kRowHeight);
  // A literal "#", then three required digits; "_" marks an empty place.
  MaskEdit1->setInputMask(QStringLiteral("\\#999;_"));
  MaskEdit1->installEventFilter(this);
  MaskEdit2 = new QLineEdit(TabSheet3);
  MaskEdit2->setObjectName(QStringLiteral("MaskEdit2"));
  MaskEdit2->setGeometry(280, 8, 33, kRowHeight);
  MaskEdit2->setMaxLength(1);
  MaskEdit2->installEventFilter(this);
  Label13 = AddLabel(TabSheet3, "Label13", "Format character replacement:", 32);
  Edit2 = new QLineEdit(TabSheet3);
  Edit2->setObjectName(QStringLiteral("Edit2"));
  Edit2->setGeometry(192, 32, 121, kRowHeight);
  CheckBox1 = new QCheckBox(
      QStringLiteral("Include first succeeding delimiter in plain text word:"), TabSheet3);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->setGeometry(6, 64, 307, 17);
  // The caption on the left, the box at the right.
  CheckBox1->setLayoutDirection(Qt::RightToLeft);
  Label11 = AddLabel(TabSheet3, "Label11", "Delimiters:", 88);
  CheckListBox1 = new QListWidget(TabSheet3);
  CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
  CheckListBox1->setGeometry(64, 88, 249, 97);
  // Four columns filled top to bottom, scrolled sideways.
  CheckListBox1->setFlow(QListView::TopToBottom);
  CheckListBox1->setWrapping(true);
  CheckListBox1->setResizeMode(QListView::Adjust);
  CheckListBox1->setUniformItemSizes(true);
  CheckListBox1->setTextElideMode(Qt::ElideNone);
  CheckListBox1->setGridSize(QSize((249 - 4) / 4, CheckListBox1->fontMetrics().height() + 2));

  // The buttons below the pages.
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(256, 232, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  Button2 = new QPushButton(QStringLiteral("Cancel"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(176, 232, 75, 25);
  Button2->setAutoDefault(false);
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  Button3 = new QPushButton(QStringLiteral("Undo"), this);
  Button3->setObjectName(QStringLiteral("Button3"));
  Button3->setGeometry(96, 232, 75, 25);
  Button3->setAutoDefault(false);
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });

  // The stored form opens on the "Tokens" page.
  PageControl1->setCurrentWidget(TabSheet3);
  FormCreate();
}

void TSpellOptionsDlg::FormCreate() {
  CheckListBox1->clear();
  for (int n = 0; n < 256; ++n) {
    const QString text =
        QStringLiteral("#%1  ").arg(n, 2, 16, QLatin1Char('0')).toUpper() + CodeChar(n);
    auto* item = new QListWidgetItem(text, CheckListBox1);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
}

void TSpellOptionsDlg::Button1Click() {
  try {
    if (FOptsDlg != nullptr) FOptsDlg->SaveChanges();
    // Only a save that went through closes the form.
    done(mrOk);
  } catch (const std::exception& error) {
    dialogs::detail::ReportException(error);
  }
}

void TSpellOptionsDlg::Button2Click() { done(mrCancel); }

void TSpellOptionsDlg::Button3Click() {
  try {
    if (FOptsDlg != nullptr) FOptsDlg->UndoChanges();
  } catch (const std::exception& error) {
    dialogs::detail::ReportException(error);
  }
}

int TSpellOptionsDlg::CodeBoxValue() const {
  // The places after the "#", blanks shown as "_".
  QString places = MaskEdit1->displayText().mid(1);
  places.replace(QLatin1Char('_'), QLatin1Char(' '));
  const QString digits = places.trimmed();
  bool ok = !digits.isEmpty();
  for (QChar c : digits) ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
  if (!ok) {
    throw EConvertError("'" + ToBytes(places) + "' is not a valid integer value");
  }
  return digits.toInt();
}

void TSpellOptionsDlg::MaskEdit1Exit() {
  // Blank places leave the character box alone; OK reports them.
  if (MaskEdit1->displayText().mid(1).remove(QLatin1Char('_')).trimmed().isEmpty()) return;
  try {
    MaskEdit2->setText(CodeChar(CodeBoxValue() % 256));
  } catch (const std::exception& error) {
    dialogs::detail::ReportException(error);
  }
}

void TSpellOptionsDlg::MaskEdit2KeyPress(QChar Key) {
  MaskEdit1->setText(QStringLiteral("#") + QString::number(Key.unicode()));
  MaskEdit2->setText(Key);
  MaskEdit2->selectAll();
}

bool TSpellOptionsDlg::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == MaskEdit1 && Event->type() == QEvent::FocusOut) {
    MaskEdit1Exit();
  } else if (Watched == MaskEdit2 && Event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(Event)->text();
    if (text.size() == 1 && text[0].isPrint()) {
      // A token is one byte: characters beyond Latin-1 have no code here.
      if (text[0].unicode() <= 255) MaskEdit2KeyPress(text[0]);
      return true;
    }
  }
  return ModalForm::eventFilter(Watched, Event);
}

// ---- the component ----

TSpellOptsDlg::TSpellOptsDlg(TComponent* AOwner) : TCustomSpellOptsDlg(AOwner) {}

// The component base drops the free notification of the checker.
TSpellOptsDlg::~TSpellOptsDlg() = default;

TSpellOptionsDlg* TSpellOptsDlg::Form() {
  if (!FForm) {
    FForm = std::make_unique<TSpellOptionsDlg>();
    FForm->FOptsDlg = this;
  }
  return FForm.get();
}

void TSpellOptsDlg::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent == FChecker) FChecker = nullptr;
  TCustomSpellOptsDlg::Notification(AComponent, Operation);
}

void TSpellOptsDlg::Execute(TVelkSpellChecker* Checker, TPageSet Pages) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
  TSpellOptionsDlg* form = Form();
  // Follow the checker, and hear when it is destroyed.
  if (Checker != FChecker) {
    if (FChecker != nullptr) FChecker->RemoveFreeNotification(this);
    FChecker = Checker;
    if (FChecker != nullptr && FChecker != Owner()) FChecker->FreeNotification(this);
  }
  // The form shows the checker's settings as they are now.
  UndoChanges();
  // The requested tabs; a hidden current page gives way to a shown one.
  QTabWidget* pages = form->PageControl1;
  pages->setTabVisible(0, Pages.Contains(sopSuggestions));
  pages->setTabVisible(1, Pages.Contains(sopCode));
  pages->setTabVisible(2, Pages.Contains(sopTokens));
  if (!pages->isTabVisible(pages->currentIndex())) {
    for (int i = 0; i < pages->count(); ++i) {
      if (pages->isTabVisible(i)) {
        pages->setCurrentIndex(i);
        break;
      }
    }
  }
  // Modal: OK saves the changes, Cancel drops them (the form's buttons).
  form->exec();
}

void TSpellOptsDlg::UndoChanges() {
  if (FChecker == nullptr) return;
  TVelkSpellChecker& c = *FChecker;
  TSpellOptionsDlg& f = *Form();
  // The suggestion search's limits.
  LoadSpin(f.SpinEdit1, c.MaxDevDelete());
  LoadSpin(f.SpinEdit2, c.MaxDevInsert());
  LoadSpin(f.SpinEdit3, c.MaxDevSubstitute());
  LoadSpin(f.SpinEdit5, c.MaxDevAppend());
  LoadSpin(f.SpinEdit4, c.SuggestionLimit());
  // The sort methods.
  f.ComboBox1->setCurrentIndex(c.SortMethod1());
  f.ComboBox2->setCurrentIndex(c.SortMethod2());
  // The code's block sizes and the type of input.
  LoadSpin(f.SpinEdit6, c.EncodedBlockSize());
  LoadSpin(f.SpinEdit7, c.UnencodedBlockSize());
  f.ComboBox3->setCurrentIndex(c.TypeOfInput() == wliFixedBlockSize ? 1 : 0);
  // The token as three digits and as a character; the replacement in force.
  const int token = c.FormatChar()->Token();
  f.MaskEdit1->setText(QStringLiteral("#%1").arg(token, 3, 10, QLatin1Char('0')));
  f.MaskEdit2->setText(CodeChar(token));
  f.FLoadedReplacement = c.FormatChar()->Replacement();
  f.FLoadedReplacementText = ToQString(f.FLoadedReplacement);
  f.Edit2->setText(f.FLoadedReplacementText);
  // Whether a word keeps its first succeeding delimiter.
  f.CheckBox1->setChecked(c.DelimiterOption() == wldInclFirstSucc);
  // The effective delimiters, one check box per byte value.
  const TCharSet delimiters = c.GetDelimiters();
  for (int n = 0; n < 256; ++n) {
    f.CheckListBox1->item(n)->setCheckState(
        delimiters.Contains(static_cast<std::uint8_t>(n)) ? Qt::Checked : Qt::Unchecked);
  }
}

void TSpellOptsDlg::SaveChanges() {
  if (FChecker == nullptr) return;
  TVelkSpellChecker& c = *FChecker;
  TSpellOptionsDlg& f = *Form();

  // What can fail is tried first on a copy of the format character, so that a
  // refused save leaves the checker as it was: an encoded block size written
  // before a failure would already have cut words from the dictionary. The
  // errors are those of writing in order: the token is checked against the
  // replacement in force, then the new replacement against the new token.
  const auto token = static_cast<std::uint8_t>(f.CodeBoxValue() % 256);
  const std::string replacement =
      f.Edit2->text() == f.FLoadedReplacementText ? f.FLoadedReplacement : ToBytes(f.Edit2->text());
  {
    TFormatChar trial;
    trial.SetNoReplacement(c.FormatChar()->NoReplacement());
    c.FormatChar()->AssignTo(&trial);
    trial.SetToken(token);
    trial.SetReplacement(replacement);
  }

  // The suggestion search's limits.
  c.SetMaxDevDelete(SpinValue(f.SpinEdit1));
  c.SetMaxDevInsert(SpinValue(f.SpinEdit2));
  c.SetMaxDevSubstitute(SpinValue(f.SpinEdit3));
  c.SetMaxDevAppend(SpinValue(f.SpinEdit5));
  c.SetSuggestionLimit(SpinValue(f.SpinEdit4));
  // The sort methods; no selection leaves a sort method as it is.
  if (f.ComboBox1->currentIndex() >= 0) {
    c.SetSortMethod1(static_cast<TSortMethod>(f.ComboBox1->currentIndex()));
  }
  if (f.ComboBox2->currentIndex() >= 0) {
    c.SetSortMethod2(static_cast<TSortMethod>(f.ComboBox2->currentIndex()));
  }
  // The code's block sizes and the type of input.
  c.SetEncodedBlockSize(static_cast<TEncBlockSizeInterval>(SpinValue(f.SpinEdit6)));
  c.SetUnencodedBlockSize(SpinValue(f.SpinEdit7));
  if (f.ComboBox3->currentIndex() >= 0) {
    c.SetTypeOfInput(f.ComboBox3->currentIndex() == 1 ? wliFixedBlockSize : wliTextInput);
  }
  // The format character, already tried above.
  c.FormatChar()->SetToken(token);
  c.FormatChar()->SetReplacement(replacement);
  // Whether a word keeps its first succeeding delimiter.
  c.SetDelimiterOption(f.CheckBox1->isChecked() ? wldInclFirstSucc : wldExclFirstSucc);
  // The delimiters checked, starting from the empty set.
  TCharSet delimiters;
  for (int n = 0; n < 256; ++n) {
    if (f.CheckListBox1->item(n)->checkState() == Qt::Checked) {
      delimiters.Include(static_cast<std::uint8_t>(n));
    }
  }
  c.SetDelimiters(delimiters);
}

}  // namespace wordloom
