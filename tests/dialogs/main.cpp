// The Qt tests' main: widgets need a QApplication before the first test runs.
// The tests draw off screen unless QT_QPA_PLATFORM names another platform, so
// that they run (and are listed by ctest) without a display.
//
// `dialogs_test --screenshots DIR` saves a picture of every form instead of
// running the tests (see screenshots.cpp).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

#include "screenshots.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "--screenshots") == 0) {
    return wordloom::testing_support::SaveScreenshots(QString::fromLocal8Bit(argv[2]));
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
