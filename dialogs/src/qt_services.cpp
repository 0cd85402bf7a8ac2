#include "wordloom/dialogs/qt_services.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

#include "form_support.h"
#include "wordloom/dialogs/password_dlg.h"
#include "wordloom/dialogs/progress_display.h"
#include "wordloom/platform/wipe.h"

namespace wordloom::dialogs {

namespace {

bool HaveWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

// The buttons a message box may offer, in the order they appear, with the
// object names a test or an accessibility tool finds them by.
struct ButtonKind {
  TMsgDlgBtn Button;
  const char* Name;
  const char* Caption;
  TModalResult Result;
};
constexpr ButtonKind kButtons[] = {
    {mbYes, "Yes", "&Yes", mrYes},
    {mbNo, "No", "&No", mrNo},
    {mbOK, "OK", "OK", mrOk},
    {mbCancel, "Cancel", "Cancel", mrCancel},
    {mbAbort, "Abort", "&Abort", mrAbort},
    {mbRetry, "Retry", "&Retry", mrRetry},
    {mbIgnore, "Ignore", "&Ignore", mrIgnore},
    {mbAll, "All", "&All", mrAll},
    {mbNoToAll, "NoToAll", "N&o to All", mrNoToAll},
    {mbYesToAll, "YesToAll", "Yes to &All", mrYesToAll},
};

// The first of Preferred that Buttons holds, or nothing.
const ButtonKind* Pick(TMsgDlgButtons Buttons, std::initializer_list<TMsgDlgBtn> Preferred) {
  for (TMsgDlgBtn b : Preferred) {
    if (!Buttons.Contains(b)) continue;
    for (const ButtonKind& k : kButtons) {
      if (k.Button == b) return &k;
    }
  }
  return nullptr;
}

QString Title(TMsgDlgType Type) {
  switch (Type) {
    case mtWarning:
      return QStringLiteral("Warning");
    case mtError:
      return QStringLiteral("Error");
    case mtInformation:
      return QStringLiteral("Information");
    case mtConfirmation:
      return QStringLiteral("Confirm");
    case mtCustom:
      break;
  }
  return QGuiApplication::applicationDisplayName();
}

QMessageBox::Icon Icon(TMsgDlgType Type) {
  switch (Type) {
    case mtWarning:
      return QMessageBox::Warning;
    case mtError:
      return QMessageBox::Critical;
    case mtInformation:
      return QMessageBox::Information;
    case mtConfirmation:
      return QMessageBox::Question;
    case mtCustom:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void TQtServices::ProcessMessages() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

TModalResult TQtServices::MessageDlg(const std::string& Text, TMsgDlgType Type,
                                     TMsgDlgButtons Buttons) {
  if (!HaveWidgets()) return THeadlessServices::MessageDlg(Text, Type, Buttons);
  // Without any button the user could not close the box: OK stands in.
  bool any = false;
  for (const ButtonKind& k : kButtons) any = any || Buttons.Contains(k.Button);
  if (!any) Buttons.Include(mbOK);

  QMessageBox box(Icon(Type), Title(Type), detail::ToQString(Text));
  box.setObjectName(QStringLiteral("MessageDlg"));
  // File names go into the texts: never read them as markup.
  box.setTextFormat(Qt::PlainText);
  detail::ApplyFormFont(&box);
  // Action roles keep the buttons in this order on every platform style.
  std::vector<std::pair<QAbstractButton*, TModalResult>> results;
  auto button_for = [&](const ButtonKind* k) -> QPushButton* {
    for (auto& [button, result] : results) {
      if (k != nullptr && result == k->Result) return static_cast<QPushButton*>(button);
    }
    return nullptr;
  };
  for (const ButtonKind& k : kButtons) {
    if (!Buttons.Contains(k.Button)) continue;
    QPushButton* button = box.addButton(QString::fromLatin1(k.Caption), QMessageBox::ActionRole);
    button->setObjectName(QString::fromLatin1(k.Name));
    results.emplace_back(button, k.Result);
  }
  if (QPushButton* def = button_for(Pick(Buttons, {mbOK, mbYes, mbRetry}))) {
    box.setDefaultButton(def);
  } else {
    box.setDefaultButton(static_cast<QPushButton*>(results.front().first));
  }
  QPushButton* escape = button_for(Pick(Buttons, {mbCancel, mbAbort, mbNo, mbNoToAll, mbOK}));
  box.setEscapeButton(escape != nullptr ? escape : results.back().first);

  box.exec();
  for (auto& [button, result] : results) {
    if (box.clickedButton() == button) return result;
  }
  return mrCancel;
}

void TQtServices::ShowMessage(const std::string& Text) {
  if (!HaveWidgets()) return;
  QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                  detail::ToQString(Text), QMessageBox::Ok);
  box.setObjectName(QStringLiteral("ShowMessage"));
  box.setTextFormat(Qt::PlainText);
  detail::ApplyFormFont(&box);
  box.exec();
}

bool TQtServices::AskPassword(const std::string& Caption, std::string& Password) {
  return AskFilePassword(Caption, {}, Password);
}

bool TQtServices::AskFilePassword(const std::string& Caption, const std::string& FileName,
                                  std::string& Password) {
  if (!HaveWidgets()) return THeadlessServices::AskPassword(Caption, Password);
  // One form for one question, released afterwards.
  TPasswordDlg form;
  PasswordDlg = &form;
  struct Release {
    ~Release() { PasswordDlg = nullptr; }
  } release;
  form.setWindowTitle(detail::ToQString(Caption));
  if (!FileName.empty()) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(FileName));
    const QString label = QObject::tr("Password for %1:");
    // The name fits the form's width, shortened in the middle if need be.
    const QFontMetrics metrics(form.Label1->font());
    const int room = form.Password->width() - metrics.horizontalAdvance(label.arg(QString()));
    form.Label1->setText(
        label.arg(metrics.elidedText(QFileInfo(path).fileName(), Qt::ElideMiddle, room)));
    form.Label1->setToolTip(path);
    form.Label1->adjustSize();
  }
  const int result = form.exec();
  if (result != mrOk) {
    form.Password->clear();
    return false;
  }
  QByteArray typed = form.Password->text().toUtf8();
  form.Password->clear();
  Password.assign(typed.constData(), static_cast<std::size_t>(typed.size()));
  Wipe(typed.data(), static_cast<std::size_t>(typed.size()));
  return true;
}

std::unique_ptr<ProgressDisplay> TQtServices::CreateProgressDisplay() {
  if (!HaveWidgets()) return THeadlessServices::CreateProgressDisplay();
  return std::make_unique<TProgressDisplay>();
}

}  // namespace wordloom::dialogs
