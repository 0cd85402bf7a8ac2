// TQtServices: the application services of a Qt Widgets program. Questions and
// messages are Qt message boxes, passwords are asked with TPasswordDlg,
// progress is shown in a TProgressDisplay, and pending window messages are Qt's
// pending events. Without a QApplication it behaves as the headless services.
#pragma once

#include <memory>
#include <string>

#include "wordloom/platform/application_services.h"

namespace wordloom::dialogs {

class TQtServices : public THeadlessServices {
 public:
  // Processes the pending events of the Qt event loop once.
  void ProcessMessages() override;
  // A modal message box with the icon and title of Type ("Confirm" with a
  // question mark for mtConfirmation) and one button per member of Buttons,
  // in the order of TMsgDlgBtn; returns the button's modal result. Enter
  // picks OK, else Yes; Esc and the close box pick Cancel, else Abort, else
  // No, so that they never answer with the choice that loses data.
  TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type,
                          TMsgDlgButtons Buttons) override;
  // A message box with the application's name as title and an OK button.
  void ShowMessage(const std::string& Text) override;
  // Runs a TPasswordDlg captioned Caption; on OK, Password receives the text
  // typed (UTF-8) and the form's copy is wiped.
  bool AskPassword(const std::string& Caption, std::string& Password) override;
  // The same, with the form's label naming the file ("Password for
  // notes.spl:", the whole path as its tool tip).
  bool AskFilePassword(const std::string& Caption, const std::string& FileName,
                       std::string& Password) override;
  // A hidden TProgressDisplay; the caller owns it.
  std::unique_ptr<ProgressDisplay> CreateProgressDisplay() override;
};

// The name this had before the prefix rule (README, Names); it goes in a
// later release.
using QtServices [[deprecated("use TQtServices")]] = TQtServices;

}  // namespace wordloom::dialogs
