#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wordloom/platform/component.h>
#include <wordloom/platform/form_file.h>
#include <wordloom/platform/memo.h>
#include <wordloom/wordloom.h>

#include "support/dictionary.h"

namespace wordloom {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing_support::AddWords;
using Words = std::vector<std::string>;

// A check dialog that plays back scripted answers and records what it saw.
class ScriptDlg : public TCustomSpellCheckDlg {
 public:
  using TCustomSpellCheckDlg::TCustomSpellCheckDlg;
  struct Answer {
    TCheckResults Result;
    std::string Text;  // the text handed back; empty leaves the word alone
  };
  std::deque<Answer> Answers;
  TCheckResults WhenDone = crCancel;
  Words Asked;
  std::vector<Words> Seen;

  TCheckResults Execute(TVelkSpellChecker* Checker, std::string& AWord) override {
    Asked.push_back(AWord);
    Seen.emplace_back(Checker->Suggestions().begin(), Checker->Suggestions().end());
    if (Answers.empty()) return WhenDone;
    const Answer a = Answers.front();
    Answers.pop_front();
    if (!a.Text.empty()) AWord = a.Text;
    return a.Result;
  }
};

class RecordingOptsDlg : public TCustomSpellOptsDlg {
 public:
  using TCustomSpellOptsDlg::TCustomSpellOptsDlg;
  std::vector<unsigned> Calls;  // the page sets, as bits
  std::function<void(TVelkSpellChecker*)> Change;
  void Execute(TVelkSpellChecker* Checker, TPageSet Pages) override {
    Calls.push_back(Pages.ToBits());
    if (Change) Change(Checker);
  }
};

int g_default_dialogs_destroyed = 0;
class CountedDlg : public THeadlessSpellCheckDlg {
 public:
  using THeadlessSpellCheckDlg::THeadlessSpellCheckDlg;
  ~CountedDlg() override { ++g_default_dialogs_destroyed; }
};

// Default dialogs the tests can see: counted check dialogs, recording options.
struct TestDialogs {
  TestDialogs() {
    SetSpellDialogFactory({[](TComponent* o) -> TCustomSpellCheckDlg* { return new CountedDlg(o); },
                           [](TComponent* o) -> TCustomSpellOptsDlg* {
                             return new RecordingOptsDlg(o);
                           }});
  }
  ~TestDialogs() { SetSpellDialogFactory({}); }
};

class CountingMemo : public TStringMemo {
 public:
  using TStringMemo::TStringMemo;
  mutable int TextCalls = 0;
  std::string Text() const override {
    ++TextCalls;
    return TStringMemo::Text();
  }
};

Words List(const TStringList& l) { return Words(l.begin(), l.end()); }

// The dictionary of the suggestion examples.
void AddExampleWords(TVelkSpellChecker& c) {
  AddWords(c, {"cat", "cat", "cat", "cart", "coat", "cut", "cut", "act", "at", "cats", "dog"});
}

Words Suggested(TVelkSpellChecker& c, const std::string& word) {
  c.Suggest(word);
  return List(c.Suggestions());
}

TEST(SuggestionTest, LimitAppliesAfterSortingAndListStartsEmpty) {
  TVelkSpellChecker c(nullptr);
  AddExampleWords(c);
  EXPECT_EQ(c.SuggestionLimit(), 100u);
  TStringList old;
  old.Add("stale");
  c.SetSuggestions(old);
  EXPECT_THAT(Suggested(c, "cot"), ElementsAre("coat", "act", "cart", "cat", "cut", "dog"));
  // Discovery order starts cat, cart: the limit must keep the best after sorting.
  c.SetSuggestionLimit(2);
  EXPECT_THAT(Suggested(c, "cot"), ElementsAre("coat", "act"));
  c.SetSuggestionLimit(0);
  EXPECT_EQ(Suggested(c, "cot").size(), 6u);
}

// A checker over a memo, with a scripted check dialog owned by a form.
struct MemoCheck {
  TestDialogs dialogs;
  TContainer form{nullptr};
  CountingMemo memo{nullptr};
  ScriptDlg* dlg = new ScriptDlg(&form);
  TVelkSpellChecker checker{nullptr};
  RecordingOptsDlg* opts = dynamic_cast<RecordingOptsDlg*>(checker.OptsDialog());

  explicit MemoCheck(const std::string& text, Words known = {"the", "cat", "dog", "on"}) {
    AddWords(checker, known);
    checker.SetDelimiterOption(wldExclFirstSucc);
    checker.SetCheckDialog(dlg);
    checker.SetMemo(&memo);
    memo.SetText(text);
  }
  void Answer(TCheckResults r, const std::string& text = "") { dlg->Answers.push_back({r, text}); }
};

TEST(SpellCheckerTest, CheckOneWord) {
  MemoCheck m("");
  TStringList old;
  old.Add("stale");
  m.checker.SetSuggestions(old);
  std::string word = "cat";
  EXPECT_TRUE(m.checker.Check(word));
  EXPECT_EQ(m.checker.Suggestions().Count(), 0);
  EXPECT_THAT(m.dlg->Asked, IsEmpty());

  word = "dogg";
  m.Answer(crAdd, "doge");
  EXPECT_FALSE(m.checker.Check(word));
  EXPECT_EQ(word, "doge");
  EXPECT_EQ(m.checker.Frequency("doge"), 1u);
  EXPECT_EQ(m.checker.Frequency("dogg"), 0u);
  ASSERT_THAT(m.dlg->Asked, ElementsAre("dogg"));
  EXPECT_THAT(m.dlg->Seen[0], ::testing::Contains("dog"));

  ASSERT_NE(m.opts, nullptr);
  word = "xq";
  m.Answer(crOptions);
  m.Answer(crReplace, "never");
  EXPECT_FALSE(m.checker.Check(word));
  EXPECT_EQ(word, "xq");
  EXPECT_THAT(m.dlg->Asked, ElementsAre("dogg", "xq"));
  EXPECT_THAT(m.opts->Calls, ElementsAre(TPageSet{sopSuggestions}.ToBits()));
}

TEST(SpellCheckerTest, MemoRangeFromCaretOrSelection) {
  // From the caret; the delimiter run at the end yields no word to ask about.
  MemoCheck m("abc the xq cat yq  ");
  m.memo.SetSelStart(4);
  m.Answer(crIgnore);
  m.Answer(crReplace, "dog");
  m.checker.CheckMemo();
  EXPECT_THAT(m.dlg->Asked, ElementsAre("xq", "yq"));
  EXPECT_EQ(m.memo.Text(), "abc the xq cat dog  ");
  EXPECT_EQ(m.memo.SelStart(), 20);

  // Only the selected characters.
  MemoCheck s("xq the yq cat zq");
  s.memo.SetSelStart(3);
  s.memo.SetSelLength(6);
  s.dlg->WhenDone = crIgnore;
  s.checker.CheckMemo();
  EXPECT_THAT(s.dlg->Asked, ElementsAre("yq"));
  EXPECT_EQ(s.memo.SelStart(), 9);

  // Nothing to read: the caret at the end.
  MemoCheck e("xq");
  e.memo.SetSelStart(2);
  e.checker.CheckMemo();
  EXPECT_THAT(e.dlg->Asked, IsEmpty());
}

TEST(SpellCheckerTest, MemoReplaceMovesTheRangeEnd) {
  // Longer: the selection's last word is still reached, the word after it is not.
  MemoCheck m("teh cat xq zz");
  m.memo.SetSelLength(10);
  m.Answer(crReplace, "there");
  m.Answer(crReplace, "on");
  m.checker.CheckMemo();
  EXPECT_THAT(m.dlg->Asked, ElementsAre("teh", "xq"));
  EXPECT_EQ(m.memo.Text(), "there cat on zz");
  EXPECT_EQ(m.memo.SelStart(), 12);

  // Shorter.
  MemoCheck s("abcde cat xq");
  s.Answer(crReplace, "ab");
  s.Answer(crReplace, "dog");
  s.checker.CheckMemo();
  EXPECT_THAT(s.dlg->Asked, ElementsAre("abcde", "xq"));
  EXPECT_EQ(s.memo.Text(), "ab cat dog");
  EXPECT_EQ(s.memo.SelStart(), 10);
}

TEST(SpellCheckerTest, MemoReplaceAllReplacesWholeWords) {
  MemoCheck m("teh cat teh tehran xq steh teh");
  m.Answer(crReplaceAll, "the");
  m.dlg->WhenDone = crIgnore;
  m.checker.CheckMemo();
  EXPECT_EQ(m.memo.Text(), "the cat the tehran xq steh the");
  EXPECT_THAT(m.dlg->Asked, ElementsAre("teh", "tehran", "xq", "steh"));
  EXPECT_EQ(m.memo.SelStart(), 30);

  // Occurrences after longer words that start with the word, and the range's
  // first word even though it continues a word before the range.
  MemoCheck a("xaa aaa aa aab aa");
  a.memo.SetSelStart(1);
  a.Answer(crReplaceAll, "on");
  a.dlg->WhenDone = crIgnore;
  a.checker.CheckMemo();
  EXPECT_EQ(a.memo.Text(), "xon aaa on aab on");
  EXPECT_THAT(a.dlg->Asked, ElementsAre("aa", "aaa", "aab"));

  // A word that ends with its delimiter is whole wherever it ends.
  MemoCheck i("teh tehran xteh teh teh,");
  i.checker.SetDelimiterOption(wldInclFirstSucc);
  i.Answer(crReplaceAll, "the ");
  i.dlg->WhenDone = crIgnore;
  i.checker.CheckMemo();
  EXPECT_EQ(i.memo.Text(), "the tehran xteh the teh,");
}

TEST(SpellCheckerTest, MemoTokenKeepsReplacementsInPlace) {
  MemoCheck m("cat a\\b cat xq");
  m.checker.FormatChar()->SetToken(92);
  m.Answer(crReplace, "dog");
  m.Answer(crReplace, "on");
  m.checker.CheckMemo();
  EXPECT_THAT(m.dlg->Asked, ElementsAre("aBackslashb", "xq"));
  EXPECT_EQ(m.memo.Text(), "cat dog cat on");

  MemoCheck a("a\\b cat a\\b xq");
  a.checker.FormatChar()->SetToken(92);
  a.Answer(crReplaceAll, "dog");
  a.Answer(crReplace, "on");
  a.checker.CheckMemo();
  EXPECT_THAT(a.dlg->Asked, ElementsAre("aBackslashb", "xq"));
  EXPECT_EQ(a.memo.Text(), "dog cat dog on");
}

TEST(SpellCheckerTest, MemoIgnoreAllCancelAndOptions) {
  MemoCheck m("qz cat QZ xq qz");
  m.Answer(crIgnoreAll);
  m.Answer(crIgnore);
  m.checker.CheckMemo();
  EXPECT_THAT(m.dlg->Asked, ElementsAre("qz", "xq"));
  // The next check asks again; cancel stops it and keeps what was changed.
  m.memo.SetSelStart(0);
  m.Answer(crReplace, "on");
  m.Answer(crCancel);
  m.checker.CheckMemo();
  EXPECT_THAT(m.dlg->Asked, ElementsAre("qz", "xq", "qz", "QZ"));
  EXPECT_EQ(m.memo.Text(), "on cat QZ xq qz");

  // Options: the options page is shown, the word searched again and asked again.
  MemoCheck o("cot xq", {});
  AddExampleWords(o.checker);
  o.opts->Change = [](TVelkSpellChecker* c) { c->SetSuggestionLimit(1); };
  o.Answer(crOptions);
  o.Answer(crReplace, "coat");
  o.dlg->WhenDone = crIgnore;
  o.checker.CheckMemo();
  EXPECT_THAT(o.dlg->Asked, ElementsAre("cot", "cot", "xq"));
  EXPECT_THAT(o.opts->Calls, ElementsAre(TPageSet{sopSuggestions}.ToBits()));
  ASSERT_EQ(o.dlg->Seen.size(), 3u);
  EXPECT_EQ(o.dlg->Seen[0].size(), 6u);
  EXPECT_THAT(o.dlg->Seen[1], ElementsAre("coat"));
  EXPECT_EQ(o.memo.Text(), "coat xq");
}

TEST(SpellCheckerTest, MemoTextIsReadOnceUnlessChanged) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "qz ";
  MemoCheck m(text);
  m.dlg->WhenDone = crIgnore;
  m.memo.TextCalls = 0;
  m.checker.CheckMemo();
  EXPECT_EQ(m.dlg->Asked.size(), 1000u);
  EXPECT_LE(m.memo.TextCalls, 5);
  EXPECT_EQ(m.memo.SelStart(), 3000);

  // One replacement costs one more reading, not one per character.
  MemoCheck r(text);
  r.Answer(crReplace, "on");
  r.dlg->WhenDone = crIgnore;
  r.memo.TextCalls = 0;
  r.checker.CheckMemo();
  EXPECT_LE(r.memo.TextCalls, 6);
  EXPECT_EQ(r.memo.Text().substr(0, 6), "on qz ");
}

TEST(SpellCheckerTest, WordListBounds) {
  TVelkSpellChecker c(nullptr);
  AddWords(c, {"c", "cat", "b", "Bb", "a", "ca", "ab", "d"});
  TStringList old;
  old.Add("stale");
  c.SetSuggestions(old);
  EXPECT_FALSE(c.WordList("b", "a"));
  EXPECT_THAT(List(c.Suggestions()), ElementsAre("stale"));
  EXPECT_TRUE(c.WordList("a", "c"));
  EXPECT_THAT(List(c.Suggestions()), ElementsAre("a", "ab", "b", "Bb", "c"));
  EXPECT_TRUE(c.WordList("A", "B"));
  EXPECT_THAT(List(c.Suggestions()), ElementsAre("a", "ab", "b"));
  // Bounds equal but for case are compared by byte value.
  EXPECT_FALSE(c.WordList("b", "B"));
  EXPECT_TRUE(c.WordList("B", "b"));
  EXPECT_THAT(List(c.Suggestions()), ElementsAre("b"));
}

TEST(SpellCheckerTest, NoDanglingReferences) {
  TestDialogs dialogs;
  g_default_dialogs_destroyed = 0;
  TContainer form(nullptr);
  auto checker = std::make_unique<TVelkSpellChecker>(nullptr);
  auto* memo = new TStringMemo(nullptr);
  checker->SetMemo(memo);
  EXPECT_EQ(checker->Memo(), memo);
  delete memo;
  EXPECT_EQ(checker->Memo(), nullptr);
  checker->CheckMemo();

  TCustomSpellCheckDlg* own_default = checker->CheckDialog();
  EXPECT_EQ(own_default->Name(), "DefaultDlg");
  EXPECT_EQ(own_default->Owner(), checker.get());

  auto* mine = new ScriptDlg(&form);
  checker->SetCheckDialog(mine);
  EXPECT_EQ(checker->CheckDialog(), mine);
  checker->SetCheckDialog(nullptr);
  TCustomSpellCheckDlg* made = checker->CheckDialog();
  EXPECT_NE(made, mine);
  EXPECT_EQ(made->Name(), "DefaultDlg");
  EXPECT_EQ(made->Owner(), nullptr);
  checker->SetCheckDialog(nullptr);
  EXPECT_EQ(checker->CheckDialog(), made);
  auto* other = new ScriptDlg(&form);
  checker->SetCheckDialog(other);
  EXPECT_EQ(g_default_dialogs_destroyed, 1);
  EXPECT_EQ(form.ComponentCount(), 2);  // a dialog with an owner is left to it

  // Destroying the assigned dialog puts a new default in its place.
  delete other;
  ASSERT_NE(checker->CheckDialog(), nullptr);
  EXPECT_EQ(checker->CheckDialog()->Name(), "DefaultDlg");
  EXPECT_EQ(checker->CheckDialog()->Owner(), nullptr);
  std::string word = "xq";
  AddWords(*checker, {"on"});
  EXPECT_FALSE(checker->Check(word));  // the headless default answers cancel
  EXPECT_EQ(g_default_dialogs_destroyed, 1);
  // The checker frees its own default and the one it made without owner.
  checker.reset();
  EXPECT_EQ(g_default_dialogs_destroyed, 3);
  EXPECT_EQ(form.ComponentCount(), 1);

  // A dialog the application assigned without owner stays the application's.
  CountedDlg unowned(nullptr);
  {
    TVelkSpellChecker temporary(nullptr);
    temporary.SetCheckDialog(&unowned);
    temporary.SetCheckDialog(nullptr);  // kept: it has no owner
    EXPECT_EQ(temporary.CheckDialog(), &unowned);
    g_default_dialogs_destroyed = 0;
  }
  EXPECT_EQ(g_default_dialogs_destroyed, 1) << "only the checker's own DefaultDlg";
}

TEST(SpellCheckerTest, RegisteredAndStoredWithMemoReference) {
  Register();
  const std::vector<std::string> velk = PaletteClasses("Velk");
  const auto dict = std::find(velk.begin(), velk.end(), "TVelkWordloom");
  ASSERT_NE(dict, velk.end());
  ASSERT_NE(dict + 1, velk.end());
  EXPECT_EQ(*(dict + 1), "TVelkSpellChecker");
  EXPECT_EQ(PaletteOf("TVelkSpellChecker"), "Velk");

  RegisterClasses({ComponentClass::Of<TContainer>(), ComponentClass::Of<TStringMemo>()});
  TContainer form(nullptr);
  form.SetName("Form1");
  auto* memo = new TStringMemo(&form);
  memo->SetName("Memo1");
  auto* checker = new TVelkSpellChecker(&form);
  checker->SetName("Checker1");
  checker->SetMemo(memo);
  checker->SetMaxDevAppend(2);
  checker->SetSortMethod1(scpFrequency);
  const std::string text = WriteComponentToString(form);

  std::unique_ptr<TComponent> back(ReadComponentFromString(text, nullptr));
  ASSERT_NE(back, nullptr);
  auto* memo2 = dynamic_cast<TStringMemo*>(back->FindComponent("Memo1"));
  auto* checker2 = dynamic_cast<TVelkSpellChecker*>(back->FindComponent("Checker1"));
  ASSERT_NE(memo2, nullptr);
  ASSERT_NE(checker2, nullptr);
  EXPECT_EQ(checker2->Memo(), memo2);
  EXPECT_EQ(checker2->MaxDevAppend(), 2u);
  EXPECT_EQ(checker2->SortMethod1(), scpFrequency);
  EXPECT_EQ(checker2->SortMethod2(), scpAlphabetic);
  ASSERT_NE(checker2->CheckDialog(), nullptr);
  EXPECT_EQ(checker2->CheckDialog()->Name(), "DefaultDlg");
  EXPECT_EQ(checker2->CheckDialog()->Owner(), checker2);
}

}  // namespace
}  // namespace wordloom
