// The front ends' memo check on the word layer: what it asks about, and how
// each answer changes the text, the dictionary and the caret.
#include "wordloom/checking/prose_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "support/dictionary.h"

namespace wordloom {
namespace {

using ::testing::ElementsAre;

// Plays back scripted answers; records each word asked and the corrections
// it was shown.
class ScriptedDlg : public TCustomSpellCheckDlg {
 public:
  struct Answer {
    TCheckResults Result;
    std::string Text;  // handed back in the word; empty leaves it alone
  };
  explicit ScriptedDlg(std::deque<Answer> answers, TCheckResults when_done = crIgnore)
      : TCustomSpellCheckDlg(nullptr), FAnswers(std::move(answers)), FWhenDone(when_done) {}

  TCheckResults Execute(TVelkSpellChecker* checker, std::string& word) override {
    Asked.push_back(word);
    Shown.push_back(checker->Suggestions().Count() > 0 ? checker->Suggestions()[0] : "");
    if (FAnswers.empty()) return FWhenDone;
    const Answer a = FAnswers.front();
    FAnswers.pop_front();
    if (!a.Text.empty()) word = a.Text;
    return a.Result;
  }
  std::vector<std::string> Asked;
  std::vector<std::string> Shown;  // the first correction shown with each

 private:
  std::deque<Answer> FAnswers;
  TCheckResults FWhenDone;
};

struct Checked {
  std::string Text;
  int Caret;
  std::vector<std::string> Asked;
  std::vector<std::string> Shown;
};

Checked Check(const std::string& text, std::deque<ScriptedDlg::Answer> answers,
              TCheckResults when_done = crIgnore, int sel_start = 0, int sel_length = 0,
              ProseCheckOptions options = {}) {
  TVelkSpellChecker checker(nullptr);
  checker.SetSpellFileOptions({});
  checker.SetSuggestionRanking(srkLikelihood);
  testing_support::AddWords(checker, {"the", "cat", "sat", "on", "mat", "don't", "see", "and",
                                      "John", "caf\xC3\xA9", "tehran", "end"});
  ScriptedDlg dlg(std::move(answers), when_done);
  checker.SetCheckDialog(&dlg);
  TStringMemo memo(nullptr);
  memo.SetText(text);
  memo.SetSelStart(sel_start);
  memo.SetSelLength(sel_length);
  CheckProse(checker, memo, options);
  checker.SetCheckDialog(nullptr);
  return {memo.Text(), memo.SelStart(), dlg.Asked, dlg.Shown};
}

TEST(ProseCheckTest, AsksOnlyAboutWordsCheckWouldReport) {
  // "The" at a sentence's start, dashes, curly quotes, a typographic
  // apostrophe, a possessive, a URL, an ordinal, a decomposed accent: no
  // questions; the corrections come in the writer's case and apostrophes.
  const Checked c = Check(
      "The cat\xE2\x80\x94sat on \xE2\x80\x9Cthe\xE2\x80\x9D mat. Don\xE2\x80\x99t see "
      "https://example.com/teh on the 1st. John's cafe\xCC\x81. Teh end; teh.",
      {});
  EXPECT_THAT(c.Asked, ElementsAre("Teh", "teh"));
  EXPECT_THAT(c.Shown, ElementsAre("The", "the"));
  // Case-sensitive: "The" and "Don’t" need entries of their own.
  const Checked strict = Check("The cat. Don\xE2\x80\x99t", {}, crIgnore, 0, 0,
                               {MarkupMode::kPlain, true});
  EXPECT_THAT(strict.Asked, ElementsAre("The", "Don\xE2\x80\x99t"));
  // Markup is no prose.
  const Checked html = Check("<p class=\"qqq\">the <b>mat</b> &amp; caf&eacute;</p>", {},
                             crIgnore, 0, 0, {MarkupMode::kHtml, false});
  EXPECT_THAT(html.Asked, ElementsAre());
}

TEST(ProseCheckTest, AnswersChangeTheTextAndTheDictionary) {
  // Replace by a longer word, replace all (whole words only: "tehran"
  // stays), ignore all in any case, add; the caret ends at the range's end.
  const Checked c =
      Check("teh cat zz tehran teh qq ZZ mat Qq xyz xyz teh\n",
            {{crReplace, "the"}, {crIgnoreAll, ""}, {crReplaceAll, "the"}, {crAdd, ""},
             {crIgnore, ""}});
  EXPECT_EQ(c.Text, "the cat zz tehran the qq ZZ mat Qq xyz xyz the\n");
  EXPECT_THAT(c.Asked, ElementsAre("teh", "zz", "teh", "qq", "xyz", "xyz"));
  EXPECT_EQ(c.Caret, static_cast<int>(c.Text.size()));
  // A selection: only its words; the caret at its end, moved by the change.
  const Checked sel = Check("teh cat teh mat teh", {{crReplace, "thee"}}, crIgnore, 4, 8);
  EXPECT_EQ(sel.Text, "teh cat thee mat teh");
  EXPECT_EQ(sel.Caret, 13);
  // Cancel: the caret stands after the word asked about.
  const Checked cancel = Check("the cat qq mat zz", {}, crCancel);
  EXPECT_THAT(cancel.Asked, ElementsAre("qq"));
  EXPECT_EQ(cancel.Caret, 10);
  EXPECT_EQ(cancel.Text, "the cat qq mat zz");
}

// A long line is read in pieces; a word is never cut and the places of the
// words after a replacement stay right.
TEST(ProseCheckTest, ALongTextIsCheckedWholeInPieces) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "the teh cat ";
  const Checked c = Check(text, {{crReplaceAll, "the"}});
  ASSERT_EQ(c.Asked.size(), 1u);
  EXPECT_EQ(c.Text.find("teh"), std::string::npos);
  EXPECT_EQ(c.Text.size(), text.size());
  EXPECT_EQ(c.Caret, static_cast<int>(text.size()));
}

}  // namespace
}  // namespace wordloom
