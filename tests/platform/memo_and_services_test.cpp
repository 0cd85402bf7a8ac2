#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "wordloom/platform/application_services.h"
#include "wordloom/platform/memo.h"
#include "wordloom/platform/scripted_services.h"
#include "wordloom/platform/wipe.h"

namespace wordloom {
namespace {

TEST(TStringMemoTest, SetTextPutsTheCaretAtTheStart) {
  TStringMemo m(nullptr);
  m.SetText("hello world");
  m.SetSelStart(6);
  m.SetSelLength(5);
  m.SetText("other");
  EXPECT_EQ(m.Text(), "other");
  EXPECT_EQ(m.SelStart(), 0);
  EXPECT_EQ(m.SelLength(), 0);
}

TEST(TStringMemoTest, SetSelStartClampsAndEndsTheSelection) {
  TStringMemo m(nullptr);
  m.SetText("hello world");  // 11 bytes
  m.SetSelStart(2);
  m.SetSelLength(3);
  EXPECT_EQ(m.SelLength(), 3);
  m.SetSelStart(4);
  EXPECT_EQ(m.SelStart(), 4);
  EXPECT_EQ(m.SelLength(), 0);

  m.SetSelStart(50);
  EXPECT_EQ(m.SelStart(), 11);
  m.SetSelStart(-3);
  EXPECT_EQ(m.SelStart(), 0);
  m.SetSelStart(11);
  EXPECT_EQ(m.SelStart(), 11);
}

TEST(TStringMemoTest, SetSelLengthClampsToTheText) {
  TStringMemo m(nullptr);
  m.SetText("hello world");
  m.SetSelStart(6);
  m.SetSelLength(100);
  EXPECT_EQ(m.SelStart(), 6);
  EXPECT_EQ(m.SelLength(), 5);
  m.SetSelLength(-2);
  EXPECT_EQ(m.SelLength(), 0);
  m.SetSelStart(11);
  m.SetSelLength(1);
  EXPECT_EQ(m.SelLength(), 0);
}

TEST(TStringMemoTest, SetSelTextReplacesTheSelectionAndMovesTheCaretAfterIt) {
  TStringMemo m(nullptr);
  m.SetText("the qick fox");
  m.SetSelStart(4);
  m.SetSelLength(4);
  m.SetSelText("quick brown");
  EXPECT_EQ(m.Text(), "the quick brown fox");
  EXPECT_EQ(m.SelStart(), 15);
  EXPECT_EQ(m.SelLength(), 0);

  // Without a selection the text is inserted at the caret.
  m.SetSelStart(0);
  m.SetSelText(">");
  EXPECT_EQ(m.Text(), ">the quick brown fox");
  EXPECT_EQ(m.SelStart(), 1);

  // A shorter replacement at the end; then an empty one deletes.
  m.SetSelStart(17);
  m.SetSelLength(3);
  m.SetSelText("ox!");
  EXPECT_EQ(m.Text(), ">the quick brown ox!");
  EXPECT_EQ(m.SelStart(), 20);
  m.SetSelStart(4);
  m.SetSelLength(6);
  m.SetSelText("");
  EXPECT_EQ(m.Text(), ">the brown ox!");
  EXPECT_EQ(m.SelStart(), 4);
  EXPECT_EQ(m.SelLength(), 0);
}

TEST(THeadlessServicesTest, QuestionsGetTheAnswerThatLosesNothing) {
  THeadlessServices s;
  const struct {
    TMsgDlgButtons buttons;
    TModalResult expected;
  } kCases[] = {
      {{mbYes, mbNo, mbAbort}, mrAbort},
      {{mbYes, mbNo}, mrNo},
      {{mbYes, mbNo, mbCancel}, mrNo},
      {{mbOK, mbCancel}, mrCancel},
      {{mbOK}, mrOk},
  };
  for (const auto& k : kCases) {
    SCOPED_TRACE(static_cast<int>(k.buttons.ToBits()));
    EXPECT_EQ(s.MessageDlg("Replace the file?", mtConfirmation, k.buttons), k.expected);
  }
}

TEST(THeadlessServicesTest, PasswordsAreRefusedAndProgressIsKept) {
  THeadlessServices s;
  std::string password = "unchanged";
  EXPECT_FALSE(s.AskPassword("Open dictionary", password));
  EXPECT_EQ(password, "unchanged");

  std::unique_ptr<ProgressDisplay> p = s.CreateProgressDisplay();
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(p->Visible());
  EXPECT_EQ(p->GetMax(), 100);
  p->SetMax(250);
  p->SetPosition(40);
  p->Show();
  EXPECT_TRUE(p->Visible());
  EXPECT_EQ(p->GetMax(), 250);
  EXPECT_EQ(p->GetPosition(), 40);
  p->Hide();
  EXPECT_FALSE(p->Visible());
}

TEST(ApplicationServicesTest, InstallingReturnsThePreviousServicesAndScopesRestore) {
  TApplicationServices* const original = &ApplicationServices();
  TScriptedServices outer;
  TScriptedServices inner;

  TApplicationServices* previous = SetApplicationServices(&outer);
  EXPECT_EQ(&ApplicationServices(), &outer);
  {
    ScopedApplicationServices scope(inner);
    EXPECT_EQ(&ApplicationServices(), &inner);
    ApplicationServices().ShowMessage("to inner");
  }
  EXPECT_EQ(&ApplicationServices(), &outer);
  EXPECT_EQ(inner.Messages(), std::vector<std::string>{"to inner"});
  EXPECT_TRUE(outer.Messages().empty());

  EXPECT_EQ(SetApplicationServices(previous), &outer);
  EXPECT_EQ(&ApplicationServices(), original);

  // nullptr restores the headless default, which answers safely.
  SetApplicationServices(&outer);
  SetApplicationServices(nullptr);
  EXPECT_EQ(ApplicationServices().MessageDlg("Revert?", mtConfirmation, {mbYes, mbNo}), mrNo);
  SetApplicationServices(previous);
}

TEST(TScriptedServicesTest, RecordsQuestionsAndReturnsQueuedAnswers) {
  TScriptedServices s;
  s.AnswerNext(mrYes);
  s.AnswerNext(mrCancel);
  EXPECT_EQ(s.MessageDlg("First?", mtConfirmation, {mbYes, mbNo}), mrYes);
  EXPECT_EQ(s.MessageDlg("Second?", mtWarning, {mbYes, mbNo, mbCancel}), mrCancel);
  // The queue is empty: the headless answer.
  EXPECT_EQ(s.MessageDlg("Third?", mtConfirmation, {mbYes, mbNo, mbAbort}), mrAbort);

  ASSERT_EQ(s.Questions().size(), 3u);
  EXPECT_EQ(s.Questions()[0].Text, "First?");
  EXPECT_EQ(s.Questions()[0].Type, mtConfirmation);
  EXPECT_EQ(s.Questions()[1].Text, "Second?");
  EXPECT_EQ(s.Questions()[1].Type, mtWarning);
  EXPECT_EQ(s.Questions()[1].Buttons, (TMsgDlgButtons{mbYes, mbNo, mbCancel}));
  EXPECT_EQ(s.Questions()[2].Buttons, (TMsgDlgButtons{mbYes, mbNo, mbAbort}));

  s.ShowMessage("done");
  s.ProcessMessages();
  s.ProcessMessages();
  EXPECT_EQ(s.Messages(), std::vector<std::string>{"done"});
  EXPECT_EQ(s.ProcessMessagesCalls(), 2);
}

TEST(TScriptedServicesTest, ReturnsQueuedPasswordsThenCancels) {
  TScriptedServices s;
  s.PasswordNext("secret");
  s.PasswordNext(std::nullopt);
  std::string password;
  EXPECT_TRUE(s.AskPassword("Open A", password));
  EXPECT_EQ(password, "secret");
  password = "kept";
  EXPECT_FALSE(s.AskPassword("Open B", password));
  EXPECT_EQ(password, "kept");
  EXPECT_FALSE(s.AskPassword("Open C", password));
  EXPECT_EQ(s.PasswordCaptions(), (std::vector<std::string>{"Open A", "Open B", "Open C"}));
}

TEST(TScriptedServicesTest, LogsWhatEachProgressDisplayWentThrough) {
  TScriptedServices s;
  {
    std::unique_ptr<ProgressDisplay> p = s.CreateProgressDisplay();
    EXPECT_FALSE(p->Visible());
    p->SetMax(10);
    p->Show();
    p->SetPosition(3);
    p->SetPosition(8);
    p->SetPosition(5);
    EXPECT_EQ(p->GetPosition(), 5);
    EXPECT_EQ(p->GetMax(), 10);
    p->Hide();
    p->Show();
  }
  std::unique_ptr<ProgressDisplay> second = s.CreateProgressDisplay();

  ASSERT_EQ(s.Progress().size(), 2u);
  const TScriptedServices::ProgressLog& log = *s.Progress()[0];
  EXPECT_EQ(log.Max, 10);
  EXPECT_EQ(log.Position, 5);
  EXPECT_EQ(log.MaxPosition, 8);
  EXPECT_EQ(log.Shows, 2);
  EXPECT_EQ(log.Hides, 1);
  EXPECT_TRUE(log.Visible);
  EXPECT_EQ(s.Progress()[1]->Shows, 0);
  EXPECT_EQ(s.Progress()[1]->Max, 100);
}

TEST(WipeTest, WipeLeavesZeroBytes) {
  std::vector<std::uint8_t> buf(4096);
  for (std::size_t i = 0; i < buf.size(); ++i) buf[i] = static_cast<std::uint8_t>(i * 31 + 7);
  Wipe(buf.data(), 100);
  for (std::size_t i = 0; i < 100; ++i) ASSERT_EQ(buf[i], 0) << i;
  EXPECT_EQ(buf[100], static_cast<std::uint8_t>(100 * 31 + 7));  // only Size bytes
  Wipe(buf.data(), buf.size());
  for (std::uint8_t b : buf) ASSERT_EQ(b, 0);
  Wipe(nullptr, 0);  // nothing to wipe
}

TEST(WipeTest, WipeStringLeavesItEmpty) {
  std::string secret = "correct horse battery staple, long enough to live on the heap";
  const std::size_t size = secret.size();
  const char* data = secret.data();
  Wipe(secret);
  EXPECT_TRUE(secret.empty());
  // When the buffer is kept, its characters were overwritten, not merely forgotten.
  if (secret.data() == data) {
    for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(data[i], '\0') << i;
  }

  std::string empty;
  Wipe(empty);
  EXPECT_TRUE(empty.empty());
}

}  // namespace
}  // namespace wordloom
