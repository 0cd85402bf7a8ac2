// The questions of one dictionary open, watched for the editor's retry after
// a wrong password.
#pragma once

#include <wordloom/platform/application_services.h>

#include <string>
#include <vector>

namespace wordloom::editor {

// While it lives, stands in for the installed application services: passes
// every question on to them, notes whether a password was given, and holds
// the messages back (the library's "Wrong password") for the editor to show
// in its own question.
class OpenWatch : public TApplicationServices {
 public:
  OpenWatch() : FInner(ApplicationServices()), FScope(*this) {}

  // Whether a password was asked for and given (not cancelled).
  bool PasswordGiven() const { return FPasswordGiven; }
  // The messages held back, one per line.
  std::string Messages() const;

  void ProcessMessages() override { FInner.ProcessMessages(); }
  TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type,
                          TMsgDlgButtons Buttons) override {
    return FInner.MessageDlg(Text, Type, Buttons);
  }
  void ShowMessage(const std::string& Text) override { FHeld.push_back(Text); }
  bool AskPassword(const std::string& Caption, std::string& Password) override {
    return Note(FInner.AskPassword(Caption, Password));
  }
  bool AskFilePassword(const std::string& Caption, const std::string& FileName,
                       std::string& Password) override {
    return Note(FInner.AskFilePassword(Caption, FileName, Password));
  }
  std::unique_ptr<ProgressDisplay> CreateProgressDisplay() override {
    return FInner.CreateProgressDisplay();
  }

 private:
  bool Note(bool Given) {
    FPasswordGiven = FPasswordGiven || Given;
    return Given;
  }

  TApplicationServices& FInner;
  ScopedApplicationServices FScope;
  bool FPasswordGiven = false;
  std::vector<std::string> FHeld;
};

}  // namespace wordloom::editor
