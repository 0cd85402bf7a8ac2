// Application services for tests: answers are queued in advance, and every
// question, message, password request and progress step is recorded.
#pragma once

#pragma GCC visibility push(default)

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "wordloom/platform/application_services.h"

namespace wordloom {

class TScriptedServices : public TApplicationServices {
 public:
  struct Question {
    std::string Text;
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
  };
  // What one progress display went through.
  struct ProgressLog {
    int Max = 100;
    int Position = 0;
    int MaxPosition = 0;  // the highest position set
    int Shows = 0;
    int Hides = 0;
    bool Visible = false;
  };

  // Queues the answer to the next question. Without a queued answer a question
  // gets the headless answer.
  void AnswerNext(TModalResult Result) { FAnswers.push_back(Result); }
  // Queues the next password request: a password, or std::nullopt for Cancel.
  // Without a queued answer the request is cancelled.
  void PasswordNext(std::optional<std::string> Password) {
    FPasswords.push_back(std::move(Password));
  }

  const std::vector<Question>& Questions() const { return FQuestions; }
  const std::vector<std::string>& Messages() const { return FMessages; }
  const std::vector<std::string>& PasswordCaptions() const { return FPasswordCaptions; }
  int ProcessMessagesCalls() const { return FProcessMessagesCalls; }
  // One entry per progress display created, in creation order.
  const std::vector<std::shared_ptr<ProgressLog>>& Progress() const { return FProgress; }

  void ProcessMessages() override { ++FProcessMessagesCalls; }
  TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type,
                          TMsgDlgButtons Buttons) override;
  void ShowMessage(const std::string& Text) override { FMessages.push_back(Text); }
  bool AskPassword(const std::string& Caption, std::string& Password) override;
  std::unique_ptr<ProgressDisplay> CreateProgressDisplay() override;

 private:
  std::deque<TModalResult> FAnswers;
  std::deque<std::optional<std::string>> FPasswords;
  std::vector<Question> FQuestions;
  std::vector<std::string> FMessages;
  std::vector<std::string> FPasswordCaptions;
  std::vector<std::shared_ptr<ProgressLog>> FProgress;
  int FProcessMessagesCalls = 0;
};

}  // namespace wordloom

#pragma GCC visibility pop
