// `dialogs_test --screenshots DIR` renders every form off screen and saves it
// as a PNG in DIR (docs/images in the README): the password form, the
// progress form, the check dialog with a word and its suggestions, and the
// options dialog once per page.
#include "screenshots.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "wordloom/checking/velk_spell_checker.h"
#include "wordloom/dialogs/password_dlg.h"
#include "wordloom/dialogs/progress_display.h"
#include "wordloom/dialogs/spell_check_dialog.h"
#include "wordloom/dialogs/spell_opts_dialog.h"

namespace wordloom::testing_support {

namespace {

bool Save(QWidget* Form, const QDir& Dir, const char* Name) {
  const QString path = Dir.filePath(QString::fromLatin1(Name));
  const bool ok = Form->grab().save(path, "PNG");
  std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "could not write",
               path.toLocal8Bit().constData());
  return ok;
}

// Runs Act on the modal form that the next event loop shows.
void WhenModal(std::function<void(QDialog*)> Act) {
  QTimer::singleShot(0, [Act = std::move(Act)] {
    if (auto* form = qobject_cast<QDialog*>(QApplication::activeModalWidget())) Act(form);
  });
}

}  // namespace

int SaveScreenshots(const QString& Directory) {
  QDir dir(Directory);
  if (!dir.mkpath(QStringLiteral("."))) return 1;
  bool ok = true;

  TPasswordDlg password;
  password.setWindowTitle(QStringLiteral("File is protected"));
  password.Password->setText(QStringLiteral("secret"));
  ok = Save(&password, dir, "password-dialog.png") && ok;

  TProgressDisplay progress;
  progress.SetMax(200);
  progress.SetPosition(80);
  ok = Save(&progress, dir, "progress-display.png") && ok;

  TVelkSpellChecker checker(nullptr);
  TStringList suggestions;
  for (const char* s : {"the", "tea", "ten", "tech", "tee", "tent"}) suggestions.Add(s);
  checker.SetSuggestions(suggestions);
  checker.FormatChar()->SetToken(92);  // shown with its name, "Backslash"
  TSpellCheckDialog check(nullptr);
  WhenModal([&](QDialog* form) {
    ok = Save(form, dir, "spell-check-dialog.png") && ok;
    form->done(0);
  });
  std::string word = "teh";
  check.Execute(&checker, word);

  TSpellOptsDlg options(nullptr);
  const char* const pages[] = {"spell-options-suggestions.png", "spell-options-code.png",
                               "spell-options-tokens.png"};
  for (int page = 0; page < 3; ++page) {
    WhenModal([&, page](QDialog* form) {
      static_cast<TSpellOptionsDlg*>(form)->PageControl1->setCurrentIndex(page);
      ok = Save(form, dir, pages[page]) && ok;
      form->done(0);
    });
    options.Execute(&checker, {sopSuggestions, sopCode, sopTokens});
  }
  return ok ? 0 : 1;
}

}  // namespace wordloom::testing_support
