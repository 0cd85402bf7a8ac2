#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wordloom/dialogs/highlighter.h>
#include <wordloom/dialogs/qt_memo.h>
#include <wordloom/dialogs/spell_menu.h>
#include <wordloom/wordloom.h>

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <string>
#include <vector>

#include "support/dictionary.h"

namespace wordloom::dialogs {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Words = std::vector<std::string>;

struct Highlighted {
  TVelkSpellChecker checker{nullptr};
  QPlainTextEdit edit;
  SpellHighlighter* highlighter;

  explicit Highlighted(const Words& known, TWLDelimiterOptions option = wldExclFirstSucc) {
    checker.SetSpellFileOptions({});
    checker.SetDelimiterOption(option);
    checker.SetDelimiters(Utf8Delimiters());
    testing_support::AddWords(checker, known);
    highlighter = new SpellHighlighter(edit.document(), &checker);
  }
  void SetText(const char* utf8) { edit.setPlainText(QString::fromUtf8(utf8)); }

  // The underlined pieces of the text, line by line, in UTF-8.
  std::vector<Words> Marked() const {
    std::vector<Words> lines;
    for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next()) {
      Words marked;
      for (const QTextLayout::FormatRange& r : b.layout()->formats()) {
        if (r.format.underlineStyle() != QTextCharFormat::SpellCheckUnderline) continue;
        EXPECT_EQ(r.format.underlineColor(), QColor(Qt::red));
        marked.push_back(b.text().mid(r.start, r.length).toStdString());
      }
      lines.push_back(marked);
    }
    return lines;
  }
  // The position of the first occurrence of Word.
  int At(const char* utf8) const { return edit.toPlainText().indexOf(QString::fromUtf8(utf8)); }
};

TEST(HighlighterTest, MarksTheWordsTheCheckerLacks) {
  Highlighted h({"the", "cat", "sat", "on", "mat", "caf\xC3\xA9"});
  h.SetText("the cat sat on teh mat\nxq caf\xC3\xA9, na\xC3\xAFve \xF0\x9F\x98\x80x\n\nThe mat");
  EXPECT_EQ(h.Marked(), (std::vector<Words>{{"teh"}, {"xq", "na\xC3\xAFve", "x"}, {}, {"The"}}));
  h.highlighter->SetAcceptCapitalised(true);
  EXPECT_THAT(h.Marked()[3], IsEmpty());
  h.highlighter->SetEnabled(false);
  EXPECT_EQ(h.Marked(), (std::vector<Words>{{}, {}, {}, {}}));

  // Words keep the delimiter that ends them (a line break too, except at the
  // very end), as the tokenizer cuts them in that mode.
  Highlighted inc({"cat ", "sat"}, wldInclFirstSucc);
  inc.SetText("cat sat cat,\nsat");
  EXPECT_EQ(inc.Marked(), (std::vector<Words>{{"sat", "cat"}, {}}));
  EXPECT_EQ(inc.highlighter->WordAt(inc.At("cat,"))->Word, "cat,");
  EXPECT_EQ(inc.highlighter->WordAt(inc.At("cat,"))->Span, 4);
  // A suggestion keeps its delimiter where the word has one in the text, and
  // leaves it out at the end of a line.
  inc.SetText("cax sat cax\nend");
  QMenu first;
  AddSpellActions(first, *inc.highlighter, inc.At("cax"));
  first.findChild<QAction*>(QStringLiteral("SuggestionAction"))->trigger();
  QMenu second;
  AddSpellActions(second, *inc.highlighter, inc.At("cax\n"));
  second.findChild<QAction*>(QStringLiteral("SuggestionAction"))->trigger();
  EXPECT_EQ(inc.edit.toPlainText().toStdString(), "cat sat cat\nend");
}

TEST(HighlighterTest, AcceptsTheCaseFormsTheToolAccepts) {
  Highlighted h({"the", "Paris", "\xC3\xA9lan"});
  h.SetText("The THE tHE PARIS paris \xC3\x89lan");
  EXPECT_EQ(h.Marked(),
            (std::vector<Words>{{"The", "THE", "tHE", "PARIS", "paris", "\xC3\x89lan"}}));
  h.highlighter->SetAcceptCapitalised(true);
  // An accented capital is lowered in the text's encoding.
  EXPECT_EQ(h.Marked(), (std::vector<Words>{{"tHE", "paris"}}));
}

// Typographic punctuation, URLs, e-mail addresses and numbers once glued
// onto words or were marked piece by piece in UTF-8 text.
TEST(HighlighterTest, Utf8TextIsCutAsTheToolCutsIt) {
  Highlighted h(
      {"it's", "fine", "John", "book", "then", "quoted", "end", "see", "on", "the", "don't"});
  h.SetText(
      "it\xE2\x80\x99s fine, John's book\xE2\x80\x94then \xE2\x80\x9Cquoted\xE2\x80\x9D "
      "end\xE2\x80\xA6 5\xE2\x82\xAC see https://example.com me@example.org on the 1st\n"
      "dont\xE2\x80\x99 \xE2\x80\x94thne\xE2\x80\x94");
  EXPECT_EQ(h.Marked(), (std::vector<Words>{{}, {"dont", "thne"}}));
  // The word is looked up with a straight apostrophe; a correction keeps the
  // writer's typographic one.
  h.SetText("I don\xE2\x80\x99 know");
  ASSERT_EQ(h.highlighter->WordAt(h.At("don"))->Word, "don");
  Highlighted one({"don't"});
  one.SetText("dont\xE2\x80\x99t dom\xE2\x80\x99t");
  EXPECT_EQ(one.highlighter->WordAt(one.At("dom\xE2\x80\x99t"))->Word, "dom't");
  QMenu menu;
  ASSERT_GT(AddSpellActions(menu, *one.highlighter, one.At("dom\xE2\x80\x99t")), 0);
  QAction* first = menu.findChild<QAction*>(QStringLiteral("SuggestionAction"));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->text(), QString::fromUtf8("don\xE2\x80\x99t"));
  first->trigger();
  EXPECT_EQ(one.edit.toPlainText().toStdString(), "dont\xE2\x80\x99t don\xE2\x80\x99t");
}

TEST(HighlighterTest, WordsAreCutAsTheTokenizerCutsThem) {
  Highlighted h({"a"});
  // Text that is not UTF-8 keeps the tokenizer's cut.
  h.highlighter->SetEncoding(meWindows1252);
  h.checker.FormatChar()->SetToken('\\');
  h.SetText("x\\y cat\nend");
  const std::vector<SpellWord> words = h.highlighter->WordsOf(QStringLiteral("x\\y cat"), false);
  ASSERT_EQ(words.size(), 2u);
  // The token is looked up as its replacement but keeps its place in the line.
  EXPECT_EQ(words[0].Word, "x" + h.checker.FormatChar()->GetReplacement() + "y");
  EXPECT_EQ(words[0].Start, 0);
  EXPECT_EQ(words[0].Length, 3);
  EXPECT_EQ(words[1].Start, 4);
  EXPECT_EQ(words[1].Length, 3);
}

TEST(HighlighterTest, MenuOffersSuggestionsAddAndIgnore) {
  Highlighted h({"the", "ten", "tea", "tech", "cat"});
  h.SetText("teh cat  xq Xq teh");
  QMenu menu;
  menu.addAction(QStringLiteral("Copy"));
  // Nothing for a known word or a delimiter.
  EXPECT_EQ(AddSpellActions(menu, *h.highlighter, h.At("cat") + 1), 0);
  EXPECT_EQ(AddSpellActions(menu, *h.highlighter, h.At("  ") + 1), 0);
  ASSERT_EQ(menu.actions().size(), 1);

  // The suggestions in the checker's order, limited, a separator, Add and
  // Ignore all, then the entries the menu had.
  const int added = AddSpellActions(menu, *h.highlighter, h.At("teh") + 3, 2);
  h.checker.Suggest("teh");
  const Words order(h.checker.Suggestions().begin(), h.checker.Suggestions().end());
  ASSERT_GE(order.size(), 3u);
  Words texts;
  for (QAction* a : menu.actions())
    texts.push_back(a->isSeparator() ? "-" : a->text().toStdString());
  EXPECT_THAT(texts,
              ElementsAre(order[0], order[1], "-", "Add to dictionary", "Ignore all", "-", "Copy"));
  EXPECT_EQ(added, 4);

  menu.actions()[0]->trigger();
  EXPECT_EQ(h.edit.toPlainText().toStdString(), order[0] + " cat  xq Xq teh");
  EXPECT_EQ(h.Marked(), (std::vector<Words>{{"xq", "Xq", "teh"}}));

  QMenu add_menu;
  AddSpellActions(add_menu, *h.highlighter, h.At("xq"));
  add_menu.findChild<QAction*>(QStringLiteral("AddWordAction"))->trigger();
  EXPECT_EQ(h.checker.Frequency("xq"), 1u);
  EXPECT_EQ(h.Marked(), (std::vector<Words>{{"Xq", "teh"}}));

  // Ignored for the session, in any case, without touching the dictionary.
  h.SetText("teh cat Teh TEH");
  QMenu ignore_menu;
  AddSpellActions(ignore_menu, *h.highlighter, h.At("Teh"));
  ignore_menu.findChild<QAction*>(QStringLiteral("IgnoreAllAction"))->trigger();
  EXPECT_EQ(h.Marked(), (std::vector<Words>{{}}));
  EXPECT_EQ(h.checker.Frequency("Teh"), 0u);
}

// Records what the editor shows selected while it is asked about a word.
class SelectionRecorder : public TCustomSpellCheckDlg {
 public:
  SelectionRecorder(QPlainTextEdit* Edit) : TCustomSpellCheckDlg(nullptr), FEdit(Edit) {}
  TCheckResults Execute(TVelkSpellChecker*, std::string&) override {
    Selected.push_back(FEdit->textCursor().selectedText().toStdString());
    return crIgnore;
  }
  Words Selected;

 private:
  QPlainTextEdit* FEdit;
};

TEST(HighlighterTest, CheckDialogSeesTheWordAskedAboutSelected) {
  Highlighted h({"the"});
  h.SetText("the don\xE2\x80\x99t teh\nxq");
  TQtPlainTextMemo memo(nullptr, &h.edit);
  h.checker.SetMemo(&memo);
  SelectionRecorder inner(&h.edit);
  THighlighterCheckDlg dialog(nullptr, h.highlighter, &inner);
  // The caret as the check leaves it: after the word and its delimiter, or
  // at the end of the text. The word asked in its lookup form is found too.
  const struct {
    int Caret;  // in bytes
    std::string Asked;
    std::string Selected;
  } kCases[] = {
      {12, "teh", ""},  // not before the caret: nothing is selected
      {16, "teh", "teh"},
      {12, "don't", "don\xE2\x80\x99t"},
      {18, "xq", "xq"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Asked + " at " + std::to_string(c.Caret));
    inner.Selected.clear();
    memo.SetSelStart(c.Caret);
    std::string word = c.Asked;
    EXPECT_EQ(dialog.Execute(&h.checker, word), crIgnore);
    EXPECT_THAT(inner.Selected, ElementsAre(c.Selected));
    // Afterwards the caret is back where the check put it.
    EXPECT_EQ(memo.SelStart(), c.Caret);
    EXPECT_EQ(memo.SelLength(), 0);
  }
}

}  // namespace
}  // namespace wordloom::dialogs
