#include "editor_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wordloom/dialogs/password_dlg.h>
#include <wordloom/platform/scripted_services.h>
#include <wordloom/wordloom.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "modal_script.h"
#include "support/dictionary.h"
#include "support/temp_dir.h"

namespace wordloom::editor {
namespace {

using ::testing::HasSubstr;
using testing_support::ModalScript;
using testing_support::TempDir;

// Drives the modal forms that come up one after another, one step for each,
// in order; fails the test when a form is left over or a step is not used.
class ModalSequence {
 public:
  explicit ModalSequence(std::deque<std::function<void(QWidget*)>> Steps)
      : FSteps(std::move(Steps)) {
    FPoll.setInterval(5);
    QObject::connect(&FPoll, &QTimer::timeout, [this] {
      QWidget* form = QApplication::activeModalWidget();
      if (form == nullptr || !form->isVisible() || form->property("scripted").toBool()) return;
      form->setProperty("scripted", true);
      if (FSteps.empty()) {
        ADD_FAILURE() << "an unexpected form: " << form->objectName().toStdString();
        if (auto* dialog = qobject_cast<QDialog*>(form)) dialog->reject();
        return;
      }
      auto step = std::move(FSteps.front());
      FSteps.pop_front();
      form->activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(form, 1000));
      step(form);
    });
    FPoll.start();
  }
  ~ModalSequence() { EXPECT_TRUE(FSteps.empty()) << FSteps.size() << " forms did not come"; }

 private:
  std::deque<std::function<void(QWidget*)>> FSteps;
  QTimer FPoll;
};

std::string ReadFile(const std::string& Name) {
  std::ifstream in(Name, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const std::string& Name, const std::string& Bytes) {
  std::ofstream(Name, std::ios::binary) << Bytes;
}

// The menu entry with Text in the window's menus.
QAction* MenuAction(QWidget& Window, const QString& Text) {
  for (QAction* a : Window.findChildren<QAction*>()) {
    if (a->text() == Text) return a;
  }
  return nullptr;
}

struct Editor {
  EditorWindow window;
  explicit Editor(const std::vector<std::string>& Words = {}) {
    testing_support::AddWords(window.Checker(), Words);
  }
  // Puts Text in the editor and waits for the marks.
  void SetText(const char* Utf8) {
    window.Edit()->setPlainText(QString::fromUtf8(Utf8));
    QApplication::processEvents();
  }
  // The context menu of the word at the first occurrence of Utf8.
  QMenu* MenuAt(const char* Utf8) {
    QTextCursor cursor(window.Edit()->document());
    cursor.setPosition(window.Edit()->toPlainText().indexOf(QString::fromUtf8(Utf8)) + 1);
    return window.Edit()->SpellContextMenu(window.Edit()->cursorRect(cursor).center());
  }
};

TEST(EditorWindowTest, AddingAWordFromTheMenuUpdatesTheWordCount) {
  TempDir dir;
  const std::string file = dir.File("two.spl");
  {
    TVelkSpellChecker dict(nullptr);
    dict.SetSpellFileOptions({});
    dict.SetDelimiterOption(wldExclFirstSucc);
    dict.SetDelimiters(Utf8Delimiters());
    testing_support::AddWords(dict, {"the", "cat"});
    dict.SaveSpellFile(file, false);
  }
  Editor e;
  ASSERT_TRUE(e.window.OpenDictionary(QString::fromStdString(file)));
  e.window.show();
  e.SetText("the cat xq");
  EXPECT_THAT(e.window.StatusText().toStdString(), HasSubstr("2 words"));
  std::unique_ptr<QMenu> menu(e.MenuAt("xq"));
  auto* add = menu->findChild<QAction*>(QStringLiteral("AddWordAction"));
  ASSERT_NE(add, nullptr);
  // A separator stands between the suggestions and "Add to dictionary".
  const QList<QAction*> actions = menu->actions();
  const qsizetype at = actions.indexOf(add);
  ASSERT_GT(at, 0);
  EXPECT_TRUE(actions[at - 1]->isSeparator());
  add->trigger();
  EXPECT_EQ(e.window.Checker().Frequency("xq"), 1u);
  EXPECT_THAT(e.window.StatusText().toStdString(), HasSubstr("3 words"));
  EXPECT_EQ(e.window.MarkedWordCount(), 0);
}

TEST(EditorWindowTest, TheDictionarysNameGivesTheLanguageOfItsSuggestions) {
  TempDir dir;
  for (const char* name : {"de_DE.spl", "words.spl"}) {
    TVelkSpellChecker dict(nullptr);
    dict.SetSpellFileOptions({});
    testing_support::AddWords(dict, {"phonetic", "fanatic"});
    dict.SaveSpellFile(dir.File(name), false);
  }
  Editor e;
  ASSERT_TRUE(e.window.OpenDictionary(QString::fromStdString(dir.File("de_DE.spl"))));
  EXPECT_EQ(e.window.Checker().Language(), "de");
  // Opened as the tool opens it: through a compact form in the user's cache.
  EXPECT_TRUE(e.window.Checker().UsesCompactForm());
  ASSERT_TRUE(e.window.OpenDictionary(QString::fromStdString(dir.File("words.spl"))));
  EXPECT_EQ(e.window.Checker().Language(), "en");
}

TEST(EditorWindowTest, PunctuationIsNeverOfferedToTheDictionary) {
  // A dictionary whose words keep their delimiter cuts text with its own
  // delimiters, which let an em dash and a quotation mark through as words.
  Editor e;
  e.window.Checker().SetDelimiterOption(wldInclFirstSucc);
  testing_support::AddWords(e.window.Checker(), {"one ", "two"});
  e.window.show();
  e.SetText("one \xE2\x80\x94 two \xC2\xBB xq two");
  for (const char* mark : {"\xE2\x80\x94", "\xC2\xBB"}) {
    SCOPED_TRACE(mark);
    std::unique_ptr<QMenu> menu(e.MenuAt(mark));
    ASSERT_NE(menu->findChild<QAction*>(QStringLiteral("IgnoreAllAction")), nullptr);
    EXPECT_EQ(menu->findChild<QAction*>(QStringLiteral("AddWordAction")), nullptr);
  }
  std::unique_ptr<QMenu> word_menu(e.MenuAt("xq"));
  EXPECT_NE(word_menu->findChild<QAction*>(QStringLiteral("AddWordAction")), nullptr);
}

TEST(EditorWindowTest, Latin1FileOpensWithAWarningAndIsSavedInItsEncoding) {
  TempDir dir;
  const std::string file = dir.File("latin1.txt");
  const std::string latin1 = "caf\xE9 na\xEFve \x80 5\r\nsecond line\r\n";
  WriteFile(file, latin1);
  Editor e;
  QString warning;
  {
    ModalScript script([&](QWidget* form) {
      warning = qobject_cast<QMessageBox*>(form)->text();
      QTest::keyClick(form, Qt::Key_Escape);
    });
    ASSERT_TRUE(e.window.OpenText(QString::fromStdString(file)));
    EXPECT_TRUE(script.Ran());
  }
  EXPECT_THAT(warning.toStdString(), HasSubstr("Windows-1252"));
  // Every byte is its Windows-1252 character; nothing became U+FFFD.
  EXPECT_EQ(e.window.Edit()->toPlainText(),
            QString::fromUtf8("caf\xC3\xA9 na\xC3\xAFve \xE2\x82\xAC 5\nsecond line\n"));
  EXPECT_EQ(e.window.FileEncoding(), dialogs::meWindows1252);
  EXPECT_THAT(e.window.StatusText().toStdString(), HasSubstr("Windows-1252"));

  // Saved as it was read: the same bytes, line breaks and all.
  ASSERT_TRUE(e.window.SaveText(QString::fromStdString(file)));
  EXPECT_EQ(ReadFile(file), latin1);

  // A character Windows-1252 lacks: the editor asks before it writes UTF-8,
  // and Cancel leaves the file alone.
  e.window.Edit()->appendPlainText(QString::fromUtf8("\xC5\x91"));  // ő
  {
    ModalScript cancel([](QWidget* form) { QTest::keyClick(form, Qt::Key_Escape); });
    EXPECT_FALSE(e.window.SaveText(QString::fromStdString(file)));
    EXPECT_TRUE(cancel.Ran());
  }
  EXPECT_EQ(ReadFile(file), latin1);
  {
    ModalScript save([](QWidget* form) {
      qobject_cast<QMessageBox*>(form)->button(QMessageBox::Save)->click();
    });
    EXPECT_TRUE(e.window.SaveText(QString::fromStdString(file)));
    EXPECT_TRUE(save.Ran());
  }
  EXPECT_EQ(ReadFile(file),
            "caf\xC3\xA9 na\xC3\xAFve \xE2\x82\xAC 5\r\nsecond line\r\n\r\n\xC5\x91");
  EXPECT_EQ(e.window.FileEncoding(), dialogs::meUtf8);

  // UTF-8 opens without a word.
  ASSERT_TRUE(e.window.OpenText(QString::fromStdString(file)));
  EXPECT_EQ(e.window.FileEncoding(), dialogs::meUtf8);
}

TEST(EditorWindowTest, TheWordAskedAboutIsSelectedWhileTheCheckDialogIsOpen) {
  Editor e({"the", "cat", "sat", "on", "mat"});
  e.window.show();
  e.SetText("the cat sat\non teh mat");
  QTextCursor start(e.window.Edit()->document());
  e.window.Edit()->setTextCursor(start);
  QString selected;
  ModalScript script([&](QWidget* form) {
    selected = e.window.Edit()->textCursor().selectedText();
    form->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
  });
  QAction* check = MenuAction(e.window, QStringLiteral("&Check spelling"));
  ASSERT_NE(check, nullptr);
  check->trigger();
  EXPECT_TRUE(script.Ran());
  EXPECT_EQ(selected, QStringLiteral("teh"));
  // After Cancel the caret stands right after the word asked about.
  EXPECT_FALSE(e.window.Edit()->textCursor().hasSelection());
  EXPECT_EQ(e.window.Edit()->textCursor().position(),
            e.window.Edit()->toPlainText().indexOf(QStringLiteral("teh")) + 3);
}

// A protected dictionary holding "secret", saved with the password "right".
std::string ProtectedDictionary(const TempDir& Dir) {
  const std::string file = Dir.File("locked.spl");
  TScriptedServices scripted;
  ScopedApplicationServices scope(scripted);
  TVelkSpellChecker dict(nullptr);
  dict.SetSpellFileOptions({});
  testing_support::AddWords(dict, {"secret"});
  scripted.PasswordNext("right");
  dict.SaveSpellFile(file, true);
  return file;
}

// A password form's steps: check that it names the file, type Password, OK.
std::function<void(QWidget*)> TypePassword(const char* Password) {
  return [Password](QWidget* form) {
    ASSERT_EQ(form, PasswordDlg);
    EXPECT_THAT(PasswordDlg->Label1->text().toStdString(), HasSubstr("locked.spl"));
    QTest::keyClicks(PasswordDlg->Password, QString::fromLatin1(Password));
    QTest::keyClick(PasswordDlg->Password, Qt::Key_Return);
  };
}

std::function<void(QWidget*)> Answer(QMessageBox::StandardButton Button, QString* Text) {
  return [Button, Text](QWidget* form) {
    auto* box = qobject_cast<QMessageBox*>(form);
    ASSERT_NE(box, nullptr);
    *Text = box->text();
    box->button(Button)->click();
  };
}

TEST(EditorWindowTest, WrongPasswordOffersARetry) {
  TempDir dir;
  const std::string file = ProtectedDictionary(dir);
  Editor e;
  QString said;
  {
    ModalSequence steps(
        {TypePassword("wrong"), Answer(QMessageBox::Retry, &said), TypePassword("right")});
    EXPECT_TRUE(e.window.OpenDictionary(QString::fromStdString(file)));
  }
  EXPECT_THAT(said.toStdString(), HasSubstr("Wrong password"));
  EXPECT_THAT(said.toStdString(), HasSubstr("locked.spl"));
  EXPECT_EQ(e.window.Checker().Frequency("secret"), 1u);
  EXPECT_THAT(e.window.StatusText().toStdString(), HasSubstr("locked.spl, 1 words"));
}

TEST(EditorWindowTest, WrongPasswordThenCancelAndCancelledPasswordOpenNothing) {
  TempDir dir;
  const std::string file = ProtectedDictionary(dir);
  Editor e({"kept"});
  QString said;
  {
    ModalSequence steps({TypePassword("wrong"), Answer(QMessageBox::Cancel, &said)});
    EXPECT_FALSE(e.window.OpenDictionary(QString::fromStdString(file)));
  }
  EXPECT_THAT(said.toStdString(), HasSubstr("Wrong password"));
  // The form cancelled: no retry is offered, and nothing is said.
  {
    ModalSequence steps({[](QWidget* form) { QTest::keyClick(form, Qt::Key_Escape); }});
    EXPECT_FALSE(e.window.OpenDictionary(QString::fromStdString(file)));
  }
  EXPECT_EQ(e.window.Checker().Frequency("kept"), 1u);
  EXPECT_EQ(e.window.Checker().Frequency("secret"), 0u);
}

}  // namespace
}  // namespace wordloom::editor
