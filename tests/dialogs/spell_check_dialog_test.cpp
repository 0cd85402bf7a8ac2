#include "wordloom/dialogs/spell_check_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "modal_script.h"
#include "wordloom/checking/velk_spell_checker.h"

namespace wordloom {
namespace {

using testing_support::ModalScript;

class SpellCheckDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TStringList suggestions;
    for (const char* s : {"the", "tea", "ten"}) suggestions.Add(s);
    FChecker.SetSuggestions(suggestions);
  }

  // Runs the dialog for Word; Script acts on the form while it is open.
  TCheckResults Run(std::string& Word, const std::function<void(TSpellCheckDlg*)>& Script) {
    ModalScript script([&](QWidget* form) {
      ASSERT_EQ(form, FDialog.Form());
      Script(FDialog.Form());
    });
    const TCheckResults result = FDialog.Execute(&FChecker, Word);
    EXPECT_TRUE(script.Ran());
    return result;
  }

  static void ClickItem(QListWidget* List, int Row) {
    const QRect rect = List->visualItemRect(List->item(Row));
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, rect.center());
  }

  static void Retype(QLineEdit* Edit, const char* Text) {
    Edit->selectAll();
    QTest::keyClicks(Edit, Text);
  }

  TVelkSpellChecker FChecker{nullptr};
  TSpellCheckDialog FDialog{nullptr};
};

TEST_F(SpellCheckDialogTest, EachButtonGivesItsResultAndTheRightAnswerText) {
  // The user edits "teh" into "tex" before pressing the button.
  const struct {
    const char* Button;
    TCheckResults Result;
    const char* Word;
  } kCases[] = {
      {"AddBtn", crAdd, "tex"},
      {"ReplaceBtn", crReplace, "tex"},
      {"ReplaceAllBtn", crReplaceAll, "tex"},
      {"IgnoreBtn", crIgnore, "teh"},
      {"IgnoreAllBtn", crIgnoreAll, "tex"},
      {"OptsBtn", crOptions, "teh"},
      {"CancelBtn", crCancel, "teh"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Button);
    std::string word = "teh";
    const TCheckResults result = Run(word, [&](TSpellCheckDlg* form) {
      Retype(form->WordEdit, "tex");
      QTest::mouseClick(form->findChild<QPushButton*>(c.Button), Qt::LeftButton);
    });
    EXPECT_EQ(result, c.Result);
    EXPECT_EQ(word, c.Word);
  }

  // Untouched, "Replace" returns the word itself, and the form shows the word
  // and every suggestion in order.
  std::string word = "teh";
  QStringList items;
  QString shown;
  EXPECT_EQ(Run(word,
                [&](TSpellCheckDlg* form) {
                  shown = form->WordEdit->text();
                  for (int i = 0; i < form->SuggLB->count(); ++i) {
                    items << form->SuggLB->item(i)->text();
                  }
                  form->ReplaceBtn->click();
                }),
            crReplace);
  EXPECT_EQ(word, "teh");
  EXPECT_EQ(shown, "teh");
  EXPECT_EQ(items, (QStringList{"the", "tea", "ten"}));
}

TEST_F(SpellCheckDialogTest, TheAnswerIsWhatTheUserDidLastInTheListOrTheEditBox) {
  std::string word = "teh";
  QString edit_after_click;
  EXPECT_EQ(Run(word,
                [&](TSpellCheckDlg* form) {
                  ClickItem(form->SuggLB, 0);
                  edit_after_click = form->WordEdit->text();
                  form->ReplaceAllBtn->click();
                }),
            crReplaceAll);
  EXPECT_EQ(word, "the");
  EXPECT_EQ(edit_after_click, "teh");  // the click does not change the edit box

  word = "teh";
  EXPECT_EQ(Run(word,
                [&](TSpellCheckDlg* form) {
                  ClickItem(form->SuggLB, 0);
                  Retype(form->WordEdit, "thee");
                  form->ReplaceBtn->click();
                }),
            crReplace);
  EXPECT_EQ(word, "thee");

  // Typing, then clicking the item that is still selected from before, picks
  // the item again.
  word = "teh";
  EXPECT_EQ(Run(word,
                [&](TSpellCheckDlg* form) {
                  ClickItem(form->SuggLB, 1);
                  Retype(form->WordEdit, "thee");
                  ClickItem(form->SuggLB, 1);
                  form->AddBtn->click();
                }),
            crAdd);
  EXPECT_EQ(word, "tea");

  // An empty list: a click into it selects nothing and keeps the answer.
  FChecker.SetSuggestions(TStringList());
  word = "teh";
  int rows = -1;
  EXPECT_EQ(Run(word,
                [&](TSpellCheckDlg* form) {
                  rows = form->SuggLB->count();
                  Retype(form->WordEdit, "tech");
                  QTest::mouseClick(form->SuggLB->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
                  form->IgnoreAllBtn->click();
                }),
            crIgnoreAll);
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(word, "tech");
}

TEST_F(SpellCheckDialogTest, EscAndTheCloseBoxCancelAndKeepTheWord) {
  std::string word = "teh";
  QWidget* focused = nullptr;
  bool open_after_enter = false;
  EXPECT_EQ(Run(word,
                [&](TSpellCheckDlg* form) {
                  focused = QApplication::focusWidget();
                  Retype(form->WordEdit, "tex");
                  // No default button: Enter in the edit box answers nothing.
                  form->WordEdit->setFocus();
                  QTest::keyClick(form->WordEdit, Qt::Key_Return);
                  open_after_enter = form->isVisible();
                  QTest::keyClick(form, Qt::Key_Escape);
                }),
            crCancel);
  EXPECT_EQ(word, "teh");
  EXPECT_EQ(focused, FDialog.Form()->CancelBtn);  // Cancel has the focus at first
  EXPECT_TRUE(open_after_enter);

  // Enter presses the focused button.
  EXPECT_EQ(Run(word,
                [&](TSpellCheckDlg* form) {
                  form->IgnoreBtn->setFocus();
                  QTest::keyClick(form->IgnoreBtn, Qt::Key_Return);
                }),
            crIgnore);

  EXPECT_EQ(Run(word,
                [&](TSpellCheckDlg* form) {
                  Retype(form->WordEdit, "tex");
                  form->close();
                }),
            crCancel);
  EXPECT_EQ(word, "teh");
}

TEST_F(SpellCheckDialogTest, WordsAndSuggestionsComeBackByteForByte) {
  // Bytes that are not UTF-8 (a Latin-1 dictionary) survive the round trip
  // through the form when the user does not retype them.
  const std::string latin1_word = "caf\xe9";
  const std::string latin1_suggestion = "caf\xe8";
  TStringList suggestions;
  suggestions.Add(latin1_suggestion);
  FChecker.SetSuggestions(suggestions);

  std::string word = latin1_word;
  EXPECT_EQ(Run(word, [](TSpellCheckDlg* form) { form->AddBtn->click(); }), crAdd);
  EXPECT_EQ(word, latin1_word);
  EXPECT_EQ(Run(word,
                [](TSpellCheckDlg* form) {
                  ClickItem(form->SuggLB, 0);
                  form->ReplaceBtn->click();
                }),
            crReplace);
  EXPECT_EQ(word, latin1_suggestion);
}

}  // namespace
}  // namespace wordloom
