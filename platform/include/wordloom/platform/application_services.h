// What the components ask of the host application: pending messages processed
// during long work, questions, message boxes, progress displays and passwords.
// A headless default answers safely; tests install scripted services, the Qt
// dialogs and the command-line tool their own.
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <memory>
#include <string>

#include "wordloom/platform/enum_set.h"

namespace wordloom {

enum TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : std::uint8_t {
  mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp
};
using TMsgDlgButtons = EnumSet<TMsgDlgBtn, 11>;

// The answer of a modal dialog.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;

// A progress bar for one long pass: the pass sets the maximum, moves the
// position, and shows and hides the display.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual int GetMax() const = 0;
  virtual void SetMax(int Value) = 0;
  virtual int GetPosition() const = 0;
  virtual void SetPosition(int Value) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;
};

// A progress display that keeps its values and shows nothing.
class HeadlessProgressDisplay : public ProgressDisplay {
 public:
  int GetMax() const override { return FMax; }
  void SetMax(int Value) override { FMax = Value; }
  int GetPosition() const override { return FPosition; }
  void SetPosition(int Value) override { FPosition = Value; }
  void Show() override { FVisible = true; }
  void Hide() override { FVisible = false; }
  bool Visible() const override { return FVisible; }

 private:
  int FMax = 100;  // a new progress bar's range is 0 to 100
  int FPosition = 0;
  bool FVisible = false;
};

class TApplicationServices {
 public:
  virtual ~TApplicationServices() = default;

  // Lets the host handle pending window messages during a long pass.
  virtual void ProcessMessages() = 0;
  // A modal message dialog; returns the modal result of the button chosen.
  virtual TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type,
                                  TMsgDlgButtons Buttons) = 0;
  // A plain message box with an OK button.
  virtual void ShowMessage(const std::string& Text) = 0;
  // Asks for a password in a form captioned Caption. Returns false on Cancel;
  // on OK, Password receives what was typed.
  virtual bool AskPassword(const std::string& Caption, std::string& Password) = 0;
  // The same question about the file FileName, which the form may name; by
  // default AskPassword(Caption, Password).
  virtual bool AskFilePassword(const std::string& Caption, const std::string& FileName,
                               std::string& Password) {
    (void)FileName;
    return AskPassword(Caption, Password);
  }
  // A new progress display, hidden; the caller owns it.
  virtual std::unique_ptr<ProgressDisplay> CreateProgressDisplay() = 0;
};

// The default services: no windows. A question gets the answer that loses
// nothing: Abort if offered, else No, else Cancel, else OK. A password request
// is cancelled; messages are dropped; progress is kept but not shown.
class THeadlessServices : public TApplicationServices {
 public:
  void ProcessMessages() override {}
  TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type,
                          TMsgDlgButtons Buttons) override;
  void ShowMessage(const std::string&) override {}
  bool AskPassword(const std::string&, std::string&) override { return false; }
  std::unique_ptr<ProgressDisplay> CreateProgressDisplay() override;
};

// The installed services (the headless default when none was installed).
TApplicationServices& ApplicationServices();
// Installs Services (nullptr restores the default) and returns the previous
// one. The caller keeps ownership and must keep it alive while installed.
TApplicationServices* SetApplicationServices(TApplicationServices* Services);

// Installs services for the lifetime of a scope, then restores the previous ones.
class ScopedApplicationServices {
 public:
  explicit ScopedApplicationServices(TApplicationServices& Services)
      : FPrevious(SetApplicationServices(&Services)) {}
  ~ScopedApplicationServices() { SetApplicationServices(FPrevious); }
  ScopedApplicationServices(const ScopedApplicationServices&) = delete;
  ScopedApplicationServices& operator=(const ScopedApplicationServices&) = delete;

 private:
  TApplicationServices* FPrevious;
};

}  // namespace wordloom

#pragma GCC visibility pop
