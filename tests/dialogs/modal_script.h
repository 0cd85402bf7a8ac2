// Drives a modal form from inside its own event loop: the script runs once the
// form is up, and a guard closes whatever modal form is still open after a
// timeout and fails the test, so that no test can hang.
//
//   ModalScript script([](QWidget* form) { QTest::keyClick(form, Qt::Key_Escape); });
//   const TCheckResults r = dialog.Execute(&checker, word);
//   EXPECT_TRUE(script.Ran());
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace wordloom::testing_support {

class ModalScript {
 public:
  explicit ModalScript(std::function<void(QWidget*)> Script, int TimeoutMs = 5000)
      : FScript(std::move(Script)) {
    FPoll.setInterval(5);
    QObject::connect(&FPoll, &QTimer::timeout, [this] {
      QWidget* form = QApplication::activeModalWidget();
      if (form == nullptr || !form->isVisible()) return;
      FPoll.stop();
      // Focus moves, and leaving a box is noticed, only in the active window.
      form->activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(form, 1000));
      FRan = true;
      FScript(form);
    });
    FPoll.start();
    FGuard.setSingleShot(true);
    QObject::connect(&FGuard, &QTimer::timeout, [] {
      while (QWidget* form = QApplication::activeModalWidget()) {
        ADD_FAILURE() << "a modal form was still open: " << form->objectName().toStdString();
        auto* dialog = qobject_cast<QDialog*>(form);
        if (dialog == nullptr) break;
        dialog->done(0);
      }
    });
    FGuard.start(TimeoutMs);
  }
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  // Whether a modal form came up and the script ran on it.
  bool Ran() const { return FRan; }

 private:
  std::function<void(QWidget*)> FScript;
  QTimer FPoll;
  QTimer FGuard;
  bool FRan = false;
};

}  // namespace wordloom::testing_support
