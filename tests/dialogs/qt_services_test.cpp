#include "wordloom/dialogs/qt_services.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "modal_script.h"
#include "wordloom/checking/velk_spell_checker.h"
#include "wordloom/dialogs/install.h"
#include "wordloom/dialogs/password_dlg.h"
#include "wordloom/dialogs/progress_display.h"
#include "wordloom/dialogs/spell_check_dialog.h"
#include "wordloom/dialogs/spell_opts_dlg.h"

namespace wordloom {
namespace {

using testing_support::ModalScript;

// The captions of a message box's buttons, left to right.
QStringList Captions(QWidget* Box) {
  QList<QPushButton*> buttons = Box->findChildren<QPushButton*>();
  std::sort(buttons.begin(), buttons.end(),
            [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
  QStringList out;
  for (QPushButton* b : buttons) out << b->text();
  return out;
}

TEST(QtServicesTest, QuestionsShowTheTextAndTheButtonsAndReturnTheChoice) {
  dialogs::TQtServices services;
  const std::string text =
      "Opening b.spl will cause the changes made to a<1>.spl to be lost. Save a<1>.spl "
      "first? (Choose \"Abort\" if you no longer want to open b.spl.)";
  QString seen_text, seen_title;
  QStringList seen_buttons;
  QMessageBox::Icon seen_icon = QMessageBox::NoIcon;
  ModalScript script([&](QWidget* form) {
    auto* box = qobject_cast<QMessageBox*>(form);
    ASSERT_NE(box, nullptr);
    seen_text = box->text();
    seen_title = box->windowTitle();
    seen_icon = box->icon();
    seen_buttons = Captions(box);
    box->findChild<QPushButton*>("Abort")->click();
  });
  EXPECT_EQ(services.MessageDlg(text, mtConfirmation, {mbYes, mbNo, mbAbort}), mrAbort);
  ASSERT_TRUE(script.Ran());
  // Plain text: the angle brackets of the file name are not markup.
  EXPECT_EQ(seen_text.toStdString(), text);
  EXPECT_EQ(seen_title, "Confirm");
  EXPECT_EQ(seen_icon, QMessageBox::Question);
  EXPECT_EQ(seen_buttons, (QStringList{"&Yes", "&No", "&Abort"}));

  const struct {
    TMsgDlgButtons Buttons;
    Qt::Key Key;
    TModalResult Expected;
  } kKeys[] = {
      {{mbYes, mbNo}, Qt::Key_Return, mrYes},
      {{mbYes, mbNo}, Qt::Key_Escape, mrNo},
      // Esc never answers No to the question whose No loses the changes.
      {{mbYes, mbNo, mbAbort}, Qt::Key_Escape, mrAbort},
      {{mbOK}, Qt::Key_Escape, mrOk},
  };
  for (const auto& c : kKeys) {
    SCOPED_TRACE(c.Key);
    ModalScript keys([&](QWidget* form) { QTest::keyClick(form, c.Key); });
    EXPECT_EQ(
        services.MessageDlg("File a.spl already exists. Overwrite?", mtConfirmation, c.Buttons),
        c.Expected);
    EXPECT_TRUE(keys.Ran());
  }
}

TEST(QtServicesTest, ShowMessageShowsThePlainText) {
  dialogs::TQtServices services;
  QString seen;
  ModalScript script([&](QWidget* form) {
    auto* box = qobject_cast<QMessageBox*>(form);
    ASSERT_NE(box, nullptr);
    seen = box->text();
    QTest::keyClick(box, Qt::Key_Return);
  });
  services.ShowMessage("Wrong password");
  EXPECT_TRUE(script.Ran());
  EXPECT_EQ(seen, "Wrong password");
}

TEST(QtServicesTest, AskPasswordReturnsWhatWasTypedOnOkAndNothingOnCancel) {
  dialogs::TQtServices services;
  QString caption, echoed;
  ModalScript typing([&](QWidget* form) {
    ASSERT_EQ(form, PasswordDlg);
    caption = form->windowTitle();
    QTest::keyClicks(PasswordDlg->Password, "s3cret");
    echoed = PasswordDlg->Password->displayText();
    QTest::keyClick(PasswordDlg->Password, Qt::Key_Return);  // the default button
  });
  std::string password;
  EXPECT_TRUE(services.AskPassword("File is protected", password));
  EXPECT_TRUE(typing.Ran());
  EXPECT_EQ(password, "s3cret");
  EXPECT_EQ(caption, "File is protected");
  EXPECT_EQ(echoed, "******");
  EXPECT_EQ(PasswordDlg, nullptr);  // released after the question

  ModalScript cancel([](QWidget* form) {
    QTest::keyClicks(PasswordDlg->Password, "abc");
    QTest::keyClick(form, Qt::Key_Escape);
  });
  password = "unchanged";
  EXPECT_FALSE(services.AskPassword("Enter password for new dictionary", password));
  EXPECT_TRUE(cancel.Ran());
  EXPECT_EQ(password, "unchanged");
}

TEST(QtServicesTest, ProgressDisplayForwardsMaximumAndPosition) {
  dialogs::TQtServices services;
  std::unique_ptr<ProgressDisplay> progress = services.CreateProgressDisplay();
  auto* form = dynamic_cast<TProgressDisplay*>(progress.get());
  ASSERT_NE(form, nullptr);
  EXPECT_FALSE(progress->Visible());
  EXPECT_EQ(progress->GetMax(), 100);
  progress->SetMax(1234);
  progress->SetPosition(617);
  EXPECT_EQ(form->ProgressBar1->maximum(), 1234);
  EXPECT_EQ(form->ProgressBar1->value(), 617);
  EXPECT_EQ(progress->GetPosition(), 617);
  // A smaller maximum keeps the position within the range.
  progress->SetMax(500);
  EXPECT_EQ(progress->GetPosition(), 500);
  progress->Show();
  EXPECT_TRUE(progress->Visible());
  EXPECT_EQ(form->windowTitle(), "Spell in progress ...");
  progress->Hide();
  EXPECT_FALSE(progress->Visible());
}

TEST(InstallTest, MakesTheQtFormsTheCheckersDefaultsAndQtTheServices) {
  dialogs::Install();
  EXPECT_NE(dynamic_cast<dialogs::TQtServices*>(&ApplicationServices()), nullptr);
  {
    TVelkSpellChecker checker(nullptr);
    auto* check = dynamic_cast<TSpellCheckDialog*>(checker.CheckDialog());
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->Name(), "DefaultDlg");
    EXPECT_EQ(check->Owner(), &checker);
    EXPECT_NE(dynamic_cast<TSpellOptsDlg*>(checker.OptsDialog()), nullptr);
    // A new default without owner, when the owned one is dropped.
    checker.SetCheckDialog(nullptr);
    EXPECT_NE(dynamic_cast<TSpellCheckDialog*>(checker.CheckDialog()), nullptr);
  }
  SetSpellDialogFactory({});
  SetApplicationServices(nullptr);
  TVelkSpellChecker headless(nullptr);
  EXPECT_EQ(dynamic_cast<TSpellCheckDialog*>(headless.CheckDialog()), nullptr);
}

}  // namespace
}  // namespace wordloom
