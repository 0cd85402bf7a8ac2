// The editor tests' main: a QApplication drawing off screen, and the Qt forms
// and services the editor installs. HOME and the XDG folders point into a
// temporary folder of the run, so that nothing Qt keeps for a user reaches
// the real ones.
#include <gtest/gtest.h>
#include <wordloom/dialogs/install.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const QTemporaryDir home;
  if (!home.isValid()) return 2;
  qputenv("HOME", home.path().toLocal8Bit());
  for (const char* xdg : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
    qputenv(xdg, (home.path() + QLatin1Char('/') + QLatin1String(xdg)).toLocal8Bit());
  }
  QApplication app(argc, argv);
  wordloom::dialogs::Install();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
