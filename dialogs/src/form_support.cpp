#include "form_support.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>

#include "wordloom/platform/application_services.h"

namespace wordloom::dialogs::detail {

QString ToQString(const std::string& Bytes) {
  return QString::fromUtf8(Bytes.data(), static_cast<qsizetype>(Bytes.size()));
}

std::string ToBytes(const QString& Text) {
  const QByteArray utf8 = Text.toUtf8();
  return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

void ApplyFormFont(QWidget* Form) {
  // Faces close to its width first, so that captions fit the stored sizes.
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                    QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                    QStringLiteral("DejaVu Sans Condensed")});
  font.setPointSize(8);
  font.setStyleHint(QFont::SansSerif);
  Form->setFont(font);
}

void CenterOnScreen(QWidget* Form) {
  QScreen* screen = Form->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = Form->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  Form->move(frame.topLeft());
}

void ReportException(const std::exception& Error) {
  ApplicationServices().MessageDlg(Error.what(), mtError, {mbOK});
}

}  // namespace wordloom::dialogs::detail
