// The application services of the wordloom tool: questions and passwords on
// the terminal when there is one, the safe headless answers when there is
// not, and a progress bar on stderr when stderr is a terminal.
//
//   TerminalServices services;
//   services.SetPasswordFile("secret.txt");   // optional
//   ScopedApplicationServices scope(services);
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <wordloom/platform/application_services.h>

namespace wordloom::cli {

class TerminalServices : public THeadlessServices {
 public:
  TerminalServices();
  ~TerminalServices() override;

  // Passwords come from the first line of File instead of the terminal.
  void SetPasswordFile(std::string File) { FPasswordFile = std::move(File); }
  // Whether questions and passwords may be asked on the terminal; off for the
  // pipe mode, whose standard input belongs to the protocol.
  void SetInteractive(bool Value) { FInteractive = Value; }
  // Whether a progress bar may be drawn on stderr (only when it is a terminal).
  bool ProgressVisible() const { return FProgressOnTerminal; }

  TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type,
                          TMsgDlgButtons Buttons) override;
  // Messages are collected, so that a failure is reported in one line with
  // its reason (TakeMessages), and the rest printed when the tool ends.
  void ShowMessage(const std::string& Text) override;
  // One password per run: the first answer (terminal or file) is reused for
  // every later request, so opening and saving a protected dictionary asks once.
  bool AskPassword(const std::string& Caption, std::string& Password) override;
  std::unique_ptr<ProgressDisplay> CreateProgressDisplay() override;

  // The messages shown since the last call, oldest first.
  std::vector<std::string> TakeMessages();

 private:
  // Reads a line from the terminal with echo off; false at end of input.
  bool ReadHidden(const std::string& Prompt, std::string& Line);

  std::string FPasswordFile;
  std::string FPassword;
  bool FHavePassword = false;
  bool FInteractive = true;
  bool FProgressOnTerminal = false;
  std::vector<std::string> FMessages;
};

}  // namespace wordloom::cli
