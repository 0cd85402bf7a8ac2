#include "terminal_services.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include <wordloom/platform/exceptions.h>
#include <wordloom/platform/wipe.h>

#include "dictionary_files.h"

namespace wordloom::cli {

namespace {

bool IsTerminal(int fd) { return isatty(fd) == 1; }

// A progress bar of 40 cells on stderr, redrawn only when the percentage moves.
class TerminalProgress : public ProgressDisplay {
 public:
  ~TerminalProgress() override { Hide(); }
  int GetMax() const override { return FMax; }
  void SetMax(int Value) override {
    FMax = Value;
    Draw();
  }
  int GetPosition() const override { return FPosition; }
  void SetPosition(int Value) override {
    FPosition = Value;
    Draw();
  }
  void Show() override {
    FVisible = true;
    FDrawn = -1;
    Draw();
  }
  void Hide() override {
    if (!FVisible) return;
    FVisible = false;
    std::fprintf(stderr, "\r%*s\r", 50, "");
    std::fflush(stderr);
  }
  bool Visible() const override { return FVisible; }

 private:
  void Draw() {
    if (!FVisible) return;
    const long long max = FMax > 0 ? FMax : 1;
    long long pos = FPosition < 0 ? 0 : FPosition;
    if (pos > max) pos = max;
    const int percent = static_cast<int>(pos * 100 / max);
    if (percent == FDrawn) return;
    FDrawn = percent;
    const int cells = percent * 40 / 100;
    std::string bar(static_cast<std::size_t>(cells), '#');
    bar.resize(40, ' ');
    std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(stderr);
  }

  int FMax = 100;
  int FPosition = 0;
  int FDrawn = -1;
  bool FVisible = false;
};

// Echo off on the terminal for the lifetime of the object.
class EchoOff {
 public:
  EchoOff() {
    if (tcgetattr(STDIN_FILENO, &FSaved) != 0) return;
    termios quiet = FSaved;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    FActive = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
  }
  ~EchoOff() {
    if (FActive) tcsetattr(STDIN_FILENO, TCSAFLUSH, &FSaved);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  termios FSaved{};
  bool FActive = false;
};

}  // namespace

TerminalServices::TerminalServices() : FProgressOnTerminal(IsTerminal(STDERR_FILENO)) {}

TerminalServices::~TerminalServices() {
  Wipe(FPassword);
  for (const std::string& m : FMessages) std::cerr << "wordloom: " << m << '\n';
}

TModalResult TerminalServices::MessageDlg(const std::string& Text, TMsgDlgType Type,
                                          TMsgDlgButtons Buttons) {
  if (!FInteractive || !IsTerminal(STDIN_FILENO) || !IsTerminal(STDERR_FILENO)) {
    return THeadlessServices::MessageDlg(Text, Type, Buttons);
  }
  // The buttons offered, with the letter that answers each.
  struct Choice {
    TMsgDlgBtn Button;
    char Key;
    const char* Label;
    TModalResult Result;
  };
  static constexpr Choice kChoices[] = {
      {mbYes, 'y', "yes", mrYes},       {mbNo, 'n', "no", mrNo},
      {mbAbort, 'a', "abort", mrAbort}, {mbOK, 'o', "ok", mrOk},
      {mbCancel, 'c', "cancel", mrCancel},
  };
  std::string prompt;
  for (const Choice& c : kChoices) {
    if (!Buttons.Contains(c.Button)) continue;
    if (!prompt.empty()) prompt += '/';
    prompt += c.Label;
  }
  for (;;) {
    std::cerr << Text << " [" << prompt << "] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) {
      std::cerr << '\n';
      return THeadlessServices::MessageDlg(Text, Type, Buttons);
    }
    for (const Choice& c : kChoices) {
      if (Buttons.Contains(c.Button) && !answer.empty() &&
          (answer == c.Label || (answer.size() == 1 && (answer[0] | 0x20) == c.Key))) {
        return c.Result;
      }
    }
  }
}

void TerminalServices::ShowMessage(const std::string& Text) { FMessages.push_back(Text); }

std::vector<std::string> TerminalServices::TakeMessages() {
  std::vector<std::string> out;
  out.swap(FMessages);
  return out;
}

namespace {

// Reads one line from Handle into Line, a byte at a time, so that nothing
// beyond the line is taken from a terminal or pipe and no buffer of a stream
// library keeps a copy. Line never grows past its capacity (reserved by the
// caller), so no copy is left behind in a buffer given up by growth. Returns
// false at the end of input before any byte, and throws CliError for a line
// longer than the capacity or a read error.
bool ReadSecretLine(int Handle, std::string& Line, const std::string& What) {
  Line.clear();
  bool any = false;
  for (;;) {
    char c = 0;
    const ssize_t n = ::read(Handle, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      Wipe(Line);
      throw CliError("cannot read " + What + ": " + std::strerror(error));
    }
    if (n == 0 || c == '\n') break;
    any = true;
    if (Line.size() == Line.capacity()) {
      Wipe(Line);
      Wipe(&c, 1);
      throw CliError("the password is longer than " + std::to_string(kMaxPasswordLength) +
                     " bytes");
    }
    Line.push_back(c);
    Wipe(&c, 1);
  }
  if (!Line.empty() && Line.back() == '\r') Line.pop_back();
  return any || !Line.empty();
}

}  // namespace

bool TerminalServices::ReadHidden(const std::string& Prompt, std::string& Line) {
  std::cerr << Prompt << ": " << std::flush;
  bool ok = false;
  {
    EchoOff quiet;
    ok = ReadSecretLine(STDIN_FILENO, Line, "the password");
  }
  std::cerr << '\n';
  return ok;
}

void TerminalServices::ForgetPassword() {
  Wipe(FPassword);
  FPassword.reserve(kMaxPasswordLength);
  FHavePassword = false;
}

bool TerminalServices::AskPassword(const std::string& Caption, std::string& Password) {
  if (FHavePassword) {
    Password = FPassword;
    return true;
  }
  FPassword.reserve(kMaxPasswordLength);
  if (!FPasswordFile.empty()) {
    const bool from_stdin = FPasswordFile == "-";
    const int fd =
        from_stdin ? STDIN_FILENO : ::open(FPasswordFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
      throw EFOpenError("cannot read the password file " + FPasswordFile + ": " +
                        std::strerror(errno));
    }
    try {
      ReadSecretLine(fd, FPassword,
                     from_stdin ? "the password from standard input"
                                : "the password file " + FPasswordFile);
    } catch (...) {
      if (!from_stdin) ::close(fd);
      throw;
    }
    if (!from_stdin) ::close(fd);
  } else if (FInteractive && IsTerminal(STDIN_FILENO)) {
    if (!ReadHidden(Caption, FPassword)) return false;
    // A new password is typed twice, so that a slip of the finger does not
    // lock the dictionary away.
    if (Caption.find("new") != std::string::npos) {
      std::string again;
      again.reserve(kMaxPasswordLength);
      const bool ok = ReadHidden("Repeat the password", again);
      const bool same = ok && again == FPassword;
      Wipe(again);
      if (!same) {
        ForgetPassword();
        ShowMessage("the passwords do not match");
        return false;
      }
    }
  } else {
    ShowMessage("a password is needed: give --password-file FILE or run on a terminal");
    return false;
  }
  FHavePassword = true;
  Password = FPassword;
  return true;
}

std::unique_ptr<ProgressDisplay> TerminalServices::CreateProgressDisplay() {
  if (FProgressOnTerminal) return std::make_unique<TerminalProgress>();
  return THeadlessServices::CreateProgressDisplay();
}

}  // namespace wordloom::cli
