#include "wordloom/dialogs/spell_opts_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "modal_script.h"
#include "wordloom/checking/velk_spell_checker.h"
#include "wordloom/platform/scripted_services.h"

namespace wordloom {
namespace {

using testing_support::ModalScript;

// Every setting the dialog edits, to compare a checker before and after.
struct Settings {
  std::uint32_t Delete, Insert, Substitute, Append, Limit;
  TSortMethod Sort1, Sort2;
  TEncBlockSizeInterval Encoded;
  std::uint32_t Unencoded;
  TWLInputOptions Input;
  std::uint8_t Token;
  std::string Replacement;
  TWLDelimiterOptions DelimiterOption;
  TCharSet Delimiters;

  static Settings Of(TVelkSpellChecker& c) {
    return {c.MaxDevDelete(),    c.MaxDevInsert(),        c.MaxDevSubstitute(),
            c.MaxDevAppend(),    c.SuggestionLimit(),     c.SortMethod1(),
            c.SortMethod2(),     c.EncodedBlockSize(),    c.UnencodedBlockSize(),
            c.TypeOfInput(),     c.FormatChar()->Token(), c.FormatChar()->Replacement(),
            c.DelimiterOption(), c.OwnDelimiters()};
  }
  bool operator==(const Settings&) const = default;
};

class SpellOptsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Settings away from the defaults, one past a spin box's usual range.
    FChecker.SetMaxDevDelete(2);
    FChecker.SetMaxDevInsert(3);
    FChecker.SetMaxDevSubstitute(300);
    FChecker.SetMaxDevAppend(5);
    FChecker.SetSuggestionLimit(1000);
    FChecker.SetSortMethod1(scpFrequency);
    FChecker.SetSortMethod2(scpNone);
    FChecker.SetEncodedBlockSize(2);
    FChecker.SetUnencodedBlockSize(8);
    FChecker.SetTypeOfInput(wliFixedBlockSize);
    FChecker.FormatChar()->SetToken(36);  // "$", replacement "Dollar" by default
    FChecker.SetDelimiterOption(wldExclFirstSucc);
    FChecker.SetDelimiters(TCharSet{9, 32, 44, 200});
  }

  // Runs the dialog on Pages; Script acts on the form while it is open.
  void Run(const std::function<void(TSpellOptionsDlg*)>& Script,
           TPageSet Pages = {sopSuggestions, sopCode, sopTokens}) {
    ModalScript script([&](QWidget* form) {
      ASSERT_EQ(form, FDialog.Form());
      Script(FDialog.Form());
    });
    FDialog.Execute(&FChecker, Pages);
    EXPECT_TRUE(script.Ran());
  }

  // Edits something on every page.
  static void EditEveryPage(TSpellOptionsDlg* f) {
    f->SpinEdit1->setValue(7);
    f->ComboBox1->setCurrentIndex(3);
    f->SpinEdit7->setValue(16);
    f->ComboBox3->setCurrentIndex(0);
    f->MaskEdit1->setText("#065");
    f->Edit2->setText("Money");
    f->CheckBox1->setChecked(true);
    f->CheckListBox1->item(32)->setCheckState(Qt::Unchecked);
    f->CheckListBox1->item(65)->setCheckState(Qt::Checked);
  }

  TVelkSpellChecker FChecker{nullptr};
  TSpellOptsDlg FDialog{nullptr};
};

TEST_F(SpellOptsDialogTest, OkWithoutChangesKeepsEverySetting) {
  const Settings before = Settings::Of(FChecker);
  QString code, character, replacement;
  Run([&](TSpellOptionsDlg* f) {
    code = f->MaskEdit1->displayText();
    character = f->MaskEdit2->text();
    replacement = f->Edit2->text();
    f->Button1->click();
  });
  EXPECT_EQ(code, "#036");
  EXPECT_EQ(character, "$");
  EXPECT_EQ(replacement, "Dollar");
  const Settings after = Settings::Of(FChecker);
  EXPECT_TRUE(after == before);
  EXPECT_EQ(FChecker.SortMethod1(), scpFrequency);
  EXPECT_EQ(FChecker.MaxDevSubstitute(), 300u);
  // The name shown for the token is now its explicit replacement text.
  FChecker.FormatChar()->SetToken(37);
  EXPECT_EQ(FChecker.FormatChar()->Replacement(), "Dollar");
}

TEST_F(SpellOptsDialogTest, OkWritesTheEditsOfEveryPage) {
  Run([](TSpellOptionsDlg* f) {
    EditEveryPage(f);
    QTest::keyClick(f, Qt::Key_Return);  // OK is the default button
  });
  EXPECT_EQ(FChecker.MaxDevDelete(), 7u);
  EXPECT_EQ(FChecker.SortMethod1(), scpNone);
  EXPECT_EQ(FChecker.UnencodedBlockSize(), 16u);
  EXPECT_EQ(FChecker.TypeOfInput(), wliTextInput);
  EXPECT_EQ(FChecker.FormatChar()->Token(), 65);
  EXPECT_EQ(FChecker.FormatChar()->Replacement(), "Money");
  EXPECT_EQ(FChecker.DelimiterOption(), wldInclFirstSucc);
  EXPECT_TRUE(FChecker.OwnDelimiters() == (TCharSet{9, 44, 65, 200}));
}

TEST_F(SpellOptsDialogTest, CancelAndEscAfterEditsChangeNothing) {
  const Settings before = Settings::Of(FChecker);
  Run([](TSpellOptionsDlg* f) {
    EditEveryPage(f);
    f->Button2->click();
  });
  EXPECT_TRUE(Settings::Of(FChecker) == before);
  // The next showing loads the checker's values again.
  int shown_delete = -1;
  Run([&](TSpellOptionsDlg* f) {
    shown_delete = f->SpinEdit1->value();
    EditEveryPage(f);
    QTest::keyClick(f, Qt::Key_Escape);
  });
  EXPECT_EQ(shown_delete, 2);
  EXPECT_TRUE(Settings::Of(FChecker) == before);
}

TEST_F(SpellOptsDialogTest, UndoRestoresAllThreePages) {
  const Settings before = Settings::Of(FChecker);
  bool still_open = false;
  Run([&](TSpellOptionsDlg* f) {
    EditEveryPage(f);
    f->Button3->click();
    still_open = f->isVisible();
    EXPECT_EQ(f->SpinEdit1->value(), 2);
    EXPECT_EQ(f->ComboBox1->currentIndex(), 1);
    EXPECT_EQ(f->SpinEdit7->value(), 8);
    EXPECT_EQ(f->ComboBox3->currentIndex(), 1);
    EXPECT_EQ(f->MaskEdit1->displayText(), "#036");
    EXPECT_EQ(f->Edit2->text(), "Dollar");
    EXPECT_FALSE(f->CheckBox1->isChecked());
    EXPECT_EQ(f->CheckListBox1->item(32)->checkState(), Qt::Checked);
    EXPECT_EQ(f->CheckListBox1->item(65)->checkState(), Qt::Unchecked);
    f->Button1->click();
  });
  EXPECT_TRUE(still_open);
  EXPECT_TRUE(Settings::Of(FChecker) == before);
}

TEST_F(SpellOptsDialogTest, CodeBoxAndCharacterBoxMirrorEachOther) {
  QString typed_a, from_065, from_300, item_65;
  int code_after_a = -1;
  Run([&](TSpellOptionsDlg* f) {
    f->PageControl1->setCurrentWidget(f->TabSheet3);
    f->MaskEdit2->setFocus();
    QTest::keyClick(f->MaskEdit2, 'A');
    typed_a = f->MaskEdit2->text();
    code_after_a = f->CodeBoxValue();

    f->MaskEdit1->setFocus();
    f->MaskEdit1->setText("#065");
    f->Edit2->setFocus();  // leaving the code box
    from_065 = f->MaskEdit2->text();
    f->MaskEdit1->setFocus();
    f->MaskEdit1->setText("#300");
    f->Edit2->setFocus();
    from_300 = f->MaskEdit2->text();
    item_65 = f->CheckListBox1->item(65)->text();
    f->Edit2->setText("Money");
    f->Button1->click();
  });
  EXPECT_EQ(typed_a, "A");
  EXPECT_EQ(code_after_a, 65);
  EXPECT_EQ(from_065, "A");
  EXPECT_EQ(from_300, ",");  // 300 modulo 256 is 44
  EXPECT_EQ(item_65, "#41  A");
  EXPECT_EQ(FChecker.FormatChar()->Token(), 44);
}

TEST_F(SpellOptsDialogTest, UncheckingEveryDelimiterStoresTheEmptySet) {
  Run([](TSpellOptionsDlg* f) {
    for (int n = 0; n < 256; ++n) f->CheckListBox1->item(n)->setCheckState(Qt::Unchecked);
    f->Button1->click();
  });
  EXPECT_EQ(FChecker.OwnDelimiters().Count(), 0u);
  // Reopened, the list shows the default delimiters, without the token.
  TCharSet shown;
  Run([&](TSpellOptionsDlg* f) {
    for (int n = 0; n < 256; ++n) {
      if (f->CheckListBox1->item(n)->checkState() == Qt::Checked) {
        shown.Include(static_cast<std::uint8_t>(n));
      }
    }
    f->Button2->click();
  });
  TCharSet expected = DefDelimiters;
  expected.Exclude(36);
  EXPECT_TRUE(shown == expected);
}

TEST_F(SpellOptsDialogTest, ARefusedSaveKeepsTheFormOpenAndWritesNothing) {
  TScriptedServices services;
  ScopedApplicationServices installed(services);
  const Settings before = Settings::Of(FChecker);
  bool open_after_token_error = false, open_after_code_error = false;
  Run([&](TSpellOptionsDlg* f) {
    f->SpinEdit1->setValue(9);
    f->SpinEdit6->setValue(1);
    // "o" is in the replacement in force ("Dollar"), though not in the new one.
    f->MaskEdit1->setText("#111");
    f->Edit2->setText("Money!");
    f->Button1->click();
    open_after_token_error = f->isVisible();
    // Blank digit places are no number.
    f->MaskEdit1->setText("#");
    f->Button1->click();
    open_after_code_error = f->isVisible();
    f->Button2->click();
  });
  EXPECT_TRUE(open_after_token_error);
  EXPECT_TRUE(open_after_code_error);
  ASSERT_EQ(services.Questions().size(), 2u);
  EXPECT_EQ(services.Questions()[0].Text, "Token must not be included in replacement.");
  EXPECT_EQ(services.Questions()[0].Type, mtError);
  EXPECT_NE(services.Questions()[1].Text.find("is not a valid integer value"), std::string::npos);
  EXPECT_TRUE(Settings::Of(FChecker) == before);
}

TEST_F(SpellOptsDialogTest, OnlyTheRequestedPagesAreShown) {
  const struct {
    TPageSet Pages;
    bool Suggestions, Code, Tokens;
    int Current;
  } kCases[] = {
      {{sopSuggestions}, true, false, false, 0},
      {{sopCode, sopTokens}, false, true, true, -1},
      {{sopCode}, false, true, false, 1},
  };
  for (const auto& c : kCases) {
    bool shown[3] = {};
    int current = -2;
    Run(
        [&](TSpellOptionsDlg* f) {
          for (int i = 0; i < 3; ++i) shown[i] = f->PageControl1->isTabVisible(i);
          current = f->PageControl1->currentIndex();
          f->Button2->click();
        },
        c.Pages);
    EXPECT_EQ(shown[0], c.Suggestions);
    EXPECT_EQ(shown[1], c.Code);
    EXPECT_EQ(shown[2], c.Tokens);
    EXPECT_TRUE(shown[current]);  // the open page is one of those shown
    if (c.Current >= 0) {
      EXPECT_EQ(current, c.Current);
    }
  }
}

TEST_F(SpellOptsDialogTest, ForgetsACheckerThatIsDestroyed) {
  {
    TVelkSpellChecker other(nullptr);
    ModalScript script([](QWidget* form) { static_cast<QDialog*>(form)->reject(); });
    FDialog.Execute(&other, {sopCode});
    EXPECT_EQ(FDialog.Checker(), &other);
  }
  EXPECT_EQ(FDialog.Checker(), nullptr);
  FDialog.SaveChanges();  // nothing to write to
  FDialog.UndoChanges();
}

}  // namespace
}  // namespace wordloom
