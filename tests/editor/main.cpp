// The editor tests' main: a QApplication drawing off screen, and the Qt forms
// and services the editor installs.
#include <gtest/gtest.h>
#include <wordloom/dialogs/install.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  wordloom::dialogs::Install();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
