// One call that makes a Qt Widgets program use this module:
//
//   QApplication app(argc, argv);
//   wordloom::dialogs::Install();
//   wordloom::TVelkSpellChecker checker(nullptr);  // gets the Qt dialogs
#pragma once

namespace wordloom::dialogs {

// Makes TSpellCheckDialog and TSpellOptsDlg the default dialogs of checkers
// created from now on, and installs TQtServices (which lives until the program
// ends) as the application services. Calling it again changes nothing.
void Install();

}  // namespace wordloom::dialogs
