// The Qt tests' main: widgets need a QApplication before the first test runs.
// The tests draw off screen unless QT_QPA_PLATFORM names another platform, so
// that they run (and are listed by ctest) without a display.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
