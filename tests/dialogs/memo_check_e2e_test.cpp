// A memo check over Qt's editors must do, byte for byte, what it does over a
// memo held in memory: same questions, same text, same caret and selection.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wordloom/dialogs/highlighter.h>
#include <wordloom/dialogs/qt_memo.h>
#include <wordloom/dialogs/spell_check_dialog.h>
#include <wordloom/wordloom.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <deque>
#include <string>
#include <vector>

#include "modal_script.h"
#include "support/dictionary.h"

namespace wordloom::dialogs {
namespace {

using ::testing::ElementsAre;
using Words = std::vector<std::string>;

// A check dialog that plays back scripted answers and records the words asked.
class ScriptedCheckDlg : public TCustomSpellCheckDlg {
 public:
  struct Answer {
    TCheckResults Result;
    std::string Text;  // handed back in the word; empty leaves it alone
  };
  ScriptedCheckDlg(std::deque<Answer> Answers, TCheckResults WhenDone)
      : TCustomSpellCheckDlg(nullptr), FAnswers(std::move(Answers)), FWhenDone(WhenDone) {}
  Words Asked;

  TCheckResults Execute(TVelkSpellChecker*, std::string& AWord) override {
    Asked.push_back(AWord);
    if (FAnswers.empty()) return FWhenDone;
    const Answer a = FAnswers.front();
    FAnswers.pop_front();
    if (!a.Text.empty()) AWord = a.Text;
    return a.Result;
  }

 private:
  std::deque<Answer> FAnswers;
  TCheckResults FWhenDone;
};

struct Outcome {
  std::string Text;
  int SelStart;
  int SelLength;
  Words Asked;
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << '"' << o.Text << "\" at " << o.SelStart << '+' << o.SelLength << ", asked "
      << ::testing::PrintToString(o.Asked);
}

struct Script {
  std::string Text;
  int SelStart;
  int SelLength;
  std::deque<ScriptedCheckDlg::Answer> Answers;
  TCheckResults WhenDone = crIgnore;
};

// Runs the script over Memo (whose text is already set) with a fresh checker.
Outcome RunScript(const Script& s, TCustomMemo& memo) {
  TVelkSpellChecker checker(nullptr);
  checker.SetSpellFileOptions({});
  checker.SetDelimiterOption(wldExclFirstSucc);
  checker.SetDelimiters(Utf8Delimiters());
  testing_support::AddWords(checker, {"the", "cat", "sat", "on", "mat", "caf\xC3\xA9",
                                      "\xC3\xBC"  // "über", the hex escape cut before the b
                                      "ber"});
  ScriptedCheckDlg dlg(s.Answers, s.WhenDone);
  checker.SetCheckDialog(&dlg);
  checker.SetMemo(&memo);
  memo.SetSelStart(s.SelStart);
  memo.SetSelLength(s.SelLength);
  checker.CheckMemo();
  checker.SetCheckDialog(nullptr);
  return {memo.Text(), memo.SelStart(), memo.SelLength(), dlg.Asked};
}

TEST(MemoCheckEndToEndTest, QtEditorsMatchTheMemoInMemory) {
  const std::string text =
      "teh c\xC3\xA4t sat\r\non the mat zz, xq\n"
      "\xF0\x9F\x98\x80 caf\xC3\xA9 XQ zz tehran teh";
  const Script kScripts[] = {
      // Replace (longer and shorter, multi-byte on both sides), ignore all
      // (also in another case), replace all, a non-BMP word, then ignore.
      {text,
       0,
       0,
       {{crReplace, "the"},
        {crReplace, "cat"},
        {crReplaceAll,
         "\xC3\xBC"
         "ber"},
        {crIgnoreAll, ""},
        {crReplace, "ok"}}},
      // A selection from the middle of a line to inside the second line.
      {text, 8, 22, {{crReplace, "sat"}, {crIgnore, ""}}},
      // Cancel: the caret just after the replaced word.
      {text, 21, 0, {{crIgnore, ""}, {crReplace, "on\non"}}, crCancel},
  };
  for (const Script& s : kScripts) {
    SCOPED_TRACE(::testing::PrintToString(s.Answers.size()) + " answers from " +
                 std::to_string(s.SelStart));
    TStringMemo in_memory(nullptr);
    // The memo in memory holds what the editors hold: a CRLF is one line break.
    std::string lf = s.Text;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
    in_memory.SetText(lf);
    const Outcome expected = RunScript(s, in_memory);

    const QString qtext = QString::fromUtf8(s.Text.data(), static_cast<qsizetype>(s.Text.size()));
    QPlainTextEdit plain(qtext);
    TQtPlainTextMemo plain_memo(nullptr, &plain);
    EXPECT_EQ(RunScript(s, plain_memo), expected);
    QTextEdit rich;
    rich.setPlainText(qtext);
    TQtTextEditMemo rich_memo(nullptr, &rich);
    EXPECT_EQ(RunScript(s, rich_memo), expected);
    // What the editor shows is what the memo's bytes say.
    EXPECT_EQ(plain.toPlainText().toStdString(), expected.Text);
  }

  // The first script in full, so that agreement is not agreement on nothing.
  TStringMemo memo(nullptr);
  memo.SetText(
      "teh c\xC3\xA4t sat\non the mat zz, xq\n\xF0\x9F\x98\x80 caf\xC3\xA9 XQ zz tehran teh");
  const Outcome o = RunScript(kScripts[0], memo);
  EXPECT_EQ(o.Text,
            "the cat sat\non the mat \xC3\xBC"
            "ber, xq\nok caf\xC3\xA9 XQ \xC3\xBC"
            "ber tehran teh");
  EXPECT_THAT(o.Asked,
              ElementsAre("teh", "c\xC3\xA4t", "zz", "xq", "\xF0\x9F\x98\x80", "tehran", "teh"));
  EXPECT_EQ(o.SelStart, static_cast<int>(o.Text.size()));
}

// The editor's check (CheckProse, on the word layer) over Qt's editors does
// what it does over a memo in memory; dashes, curly quotes, emoji and a
// sentence's capital are no questions.
TEST(MemoCheckEndToEndTest, TheProseCheckMatchesOnQtEditors) {
  const std::string text =
      "The c\xC3\xA4t\xE2\x80\x94sat \xE2\x80\x9Cteh\xE2\x80\x9D mat\r\n"
      "\xF0\x9F\x98\x80 caf\xC3\xA9 zz, ZZ teh tehran teh.";
  const auto run = [](TCustomMemo& memo) {
    TVelkSpellChecker checker(nullptr);
    checker.SetSpellFileOptions({});
    testing_support::AddWords(checker, {"the", "cat", "sat", "mat", "caf\xC3\xA9", "tehran"});
    ScriptedCheckDlg dlg({{crReplace, "cat"}, {crReplaceAll, "the"}, {crIgnoreAll, ""}}, crIgnore);
    checker.SetCheckDialog(&dlg);
    memo.SetSelStart(0);
    CheckProse(checker, memo);
    checker.SetCheckDialog(nullptr);
    return Outcome{memo.Text(), memo.SelStart(), memo.SelLength(), dlg.Asked};
  };
  TStringMemo in_memory(nullptr);
  std::string lf = text;
  lf.erase(lf.find('\r'), 1);
  in_memory.SetText(lf);
  const Outcome expected = run(in_memory);
  EXPECT_EQ(expected.Text,
            "The cat\xE2\x80\x94sat \xE2\x80\x9Cthe\xE2\x80\x9D mat\n"
            "\xF0\x9F\x98\x80 caf\xC3\xA9 zz, ZZ the tehran the.");
  EXPECT_THAT(expected.Asked, ElementsAre("c\xC3\xA4t", "teh", "zz"));
  const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  QPlainTextEdit plain(qtext);
  TQtPlainTextMemo plain_memo(nullptr, &plain);
  EXPECT_EQ(run(plain_memo), expected);
  QTextEdit rich;
  rich.setPlainText(qtext);
  TQtTextEditMemo rich_memo(nullptr, &rich);
  EXPECT_EQ(run(rich_memo), expected);
}

TEST(MemoCheckEndToEndTest, HighlighterCheckDialogAgreesWithTheMarks) {
  TVelkSpellChecker checker(nullptr);
  checker.SetSpellFileOptions({});
  checker.SetDelimiterOption(wldExclFirstSucc);
  testing_support::AddWords(checker, {"the", "cat"});
  QPlainTextEdit edit(QStringLiteral("The cat qq zz cat QQ zz"));
  TQtPlainTextMemo memo(nullptr, &edit);
  auto* highlighter = new SpellHighlighter(edit.document(), &checker);
  highlighter->SetAcceptCapitalised(true);
  highlighter->IgnoreAll("zz");
  ScriptedCheckDlg inner({{crIgnoreAll, ""}}, crCancel);
  THighlighterCheckDlg dlg(nullptr, highlighter, &inner);
  checker.SetCheckDialog(&dlg);
  checker.SetMemo(&memo);
  checker.CheckMemo();
  // "The" and "zz" pass without a question; "qq" ignored for all is then
  // also ignored by the highlighter, after this check too.
  EXPECT_THAT(inner.Asked, ElementsAre("qq"));
  EXPECT_TRUE(highlighter->IsIgnored("QQ"));
  EXPECT_EQ(memo.SelStart(), 23);
  checker.SetCheckDialog(nullptr);
}

TEST(MemoCheckEndToEndTest, TheQtCheckDialogReplacesInTheEditor) {
  // The editor's arrangement: the standard dialog behind the highlighter's.
  TVelkSpellChecker checker(nullptr);
  checker.SetSpellFileOptions({});
  checker.SetDelimiterOption(wldExclFirstSucc);
  checker.SetDelimiters(Utf8Delimiters());
  testing_support::AddWords(checker, {"the", "cat", "sat"});
  QPlainTextEdit edit(QString::fromUtf8("The c\xC3\xA4t sat"));
  TQtPlainTextMemo memo(nullptr, &edit);
  auto* highlighter = new SpellHighlighter(edit.document(), &checker);
  highlighter->SetAcceptCapitalised(true);
  TSpellCheckDialog qt_dialog(nullptr);
  THighlighterCheckDlg dlg(nullptr, highlighter, &qt_dialog);
  checker.SetCheckDialog(&dlg);
  checker.SetMemo(&memo);
  std::string shown;
  testing_support::ModalScript script([&](QWidget* form) {
    auto* word = form->findChild<QLineEdit*>(QStringLiteral("WordEdit"));
    shown = word->text().toStdString();
    word->selectAll();
    QTest::keyClicks(word, "cat");
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("ReplaceBtn")), Qt::LeftButton);
  });
  checker.CheckMemo();
  EXPECT_TRUE(script.Ran());
  EXPECT_EQ(shown, "c\xC3\xA4t");
  EXPECT_EQ(edit.toPlainText(), QStringLiteral("The cat sat"));
  EXPECT_EQ(edit.textCursor().position(), 11);
  checker.SetCheckDialog(nullptr);
}

}  // namespace
}  // namespace wordloom::dialogs
