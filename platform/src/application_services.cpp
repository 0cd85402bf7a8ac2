#include "wordloom/platform/application_services.h"

#include "wordloom/platform/scripted_services.h"

namespace wordloom {

TModalResult THeadlessServices::MessageDlg(const std::string&, TMsgDlgType,
                                           TMsgDlgButtons Buttons) {
  // The answer that changes and loses nothing.
  if (Buttons.Contains(mbAbort)) return mrAbort;
  if (Buttons.Contains(mbNo)) return mrNo;
  if (Buttons.Contains(mbCancel)) return mrCancel;
  if (Buttons.Contains(mbIgnore)) return mrIgnore;
  return mrOk;
}

std::unique_ptr<ProgressDisplay> THeadlessServices::CreateProgressDisplay() {
  return std::make_unique<HeadlessProgressDisplay>();
}

namespace {

TApplicationServices*& InstalledServices() {
  static TApplicationServices* installed = nullptr;
  return installed;
}

}  // namespace

TApplicationServices& ApplicationServices() {
  static THeadlessServices headless;
  TApplicationServices* installed = InstalledServices();
  return installed != nullptr ? *installed : headless;
}

TApplicationServices* SetApplicationServices(TApplicationServices* Services) {
  TApplicationServices* previous = InstalledServices();
  InstalledServices() = Services;
  return previous;
}

// ---- TScriptedServices ----

namespace {

// Keeps a ProgressLog up to date; the log outlives the display.
class RecordingProgressDisplay : public ProgressDisplay {
 public:
  explicit RecordingProgressDisplay(std::shared_ptr<TScriptedServices::ProgressLog> log)
      : FLog(std::move(log)) {}
  int GetMax() const override { return FLog->Max; }
  void SetMax(int Value) override { FLog->Max = Value; }
  int GetPosition() const override { return FLog->Position; }
  void SetPosition(int Value) override {
    FLog->Position = Value;
    if (Value > FLog->MaxPosition) FLog->MaxPosition = Value;
  }
  void Show() override {
    ++FLog->Shows;
    FLog->Visible = true;
  }
  void Hide() override {
    ++FLog->Hides;
    FLog->Visible = false;
  }
  bool Visible() const override { return FLog->Visible; }

 private:
  std::shared_ptr<TScriptedServices::ProgressLog> FLog;
};

}  // namespace

TModalResult TScriptedServices::MessageDlg(const std::string& Text, TMsgDlgType Type,
                                           TMsgDlgButtons Buttons) {
  FQuestions.push_back({Text, Type, Buttons});
  if (FAnswers.empty()) return THeadlessServices().MessageDlg(Text, Type, Buttons);
  const TModalResult answer = FAnswers.front();
  FAnswers.pop_front();
  return answer;
}

bool TScriptedServices::AskPassword(const std::string& Caption, std::string& Password) {
  FPasswordCaptions.push_back(Caption);
  if (FPasswords.empty()) return false;
  std::optional<std::string> answer = std::move(FPasswords.front());
  FPasswords.pop_front();
  if (!answer) return false;
  Password = std::move(*answer);
  return true;
}

std::unique_ptr<ProgressDisplay> TScriptedServices::CreateProgressDisplay() {
  auto log = std::make_shared<ProgressLog>();
  FProgress.push_back(log);
  return std::make_unique<RecordingProgressDisplay>(log);
}

}  // namespace wordloom
