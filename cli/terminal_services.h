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

// The longest password read from a file or the terminal; a longer one is
// refused rather than cut.
inline constexpr std::size_t kMaxPasswordLength = 4096;

class TerminalServices : public THeadlessServices {
 public:
  TerminalServices();
  ~TerminalServices() override;

  // Passwords come from the first line of File ("-": standard input) instead
  // of the terminal.
  void SetPasswordFile(std::string File) { FPasswordFile = std::move(File); }
  const std::string& PasswordFile() const { return FPasswordFile; }
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
  // every later request, so opening and saving a protected dictionary asks
  // once. It is read a byte at a time into memory that is wiped, so that no
  // copy stays in a stream's buffer.
  bool AskPassword(const std::string& Caption, std::string& Password) override;
  // Wipes the kept password once no more requests will come (after the last
  // open or save of a command); a later request reads it again.
  void ForgetPassword();
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
