// Shared by the Qt backend tests: one QApplication for the whole binary (the
// tests run with QT_QPA_PLATFORM=offscreen) and a way to let queued work run.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <functional>

#include <gtest/gtest.h>

namespace qr::ui::qt::testing {

inline QApplication& App() {
  static int argc = 1;
  static char name[] = "qt_backend_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  return *application;
}

// A test whose members may be widgets: the application exists before them.
class QtTest : public ::testing::Test {
 protected:
  QtTest() { App(); }
};

// Handles events until `done` holds or `limitMs` passed; returns `done()`.
inline bool ProcessUntil(const std::function<bool()>& done, int limitMs = 3000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

// Handles whatever is queued now (model changes, posted work).
inline void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace qr::ui::qt::testing
