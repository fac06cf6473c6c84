// The desktop program under load, in one process: the objects of
// apps/desktop/main.cpp on the real Qt window, the queue of the program
// folder (QUILLREEL_PROGRAM_FOLDER) started as the start button starts it,
// and a timer every 50 ms measuring how late the window thread answers.
// Before the start the log page gets LOG_LINES lines (default 10000); one
// more append and a scroll to each end are timed with 10000+ lines shown,
// again once the queue is done. Ends when download.ini is gone (the queue is
// empty) or after LIMIT_S seconds (default 300) and prints
//   log lines=N append_ms=X scroll_ms=Y      (before and after the run)
//   loop ticks=N median_ms=X p99_ms=Y max_ms=Z   (lateness of the 50 ms ticks)
// Run with QT_QPA_PLATFORM=offscreen or on a display (Xvfb).
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/process_objects.h"
#include "app/queue_controller.h"
#include "queue/queue_file.h"
#include "runtime/files.h"
#include "runtime/process.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_toolkit.h"

namespace {

constexpr int kTickMs = 50;
constexpr int kStartButton = 1;
constexpr int kLogPage = 1;

int EnvironmentNumber(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

double Elapsed(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

// One log line appended and shown, then the list scrolled to the top and back to the end.
void TimeLog(qr::app::MainWindow& logic, qr::ui::qt::QtMainWindow& window, const char* when) {
  QTableView* list = window.PageList(kLogPage);
  QElapsedTimer timer;
  timer.start();
  logic.Log().Append("一行计时的日志");
  QApplication::processEvents();
  const double append = Elapsed(timer);
  timer.restart();
  list->scrollToTop();
  QApplication::processEvents();
  list->scrollToBottom();
  QApplication::processEvents();
  const double scroll = Elapsed(timer);
  std::printf("log %s lines=%d append_ms=%.2f scroll_ms=%.2f\n", when, list->model()->rowCount(), append, scroll);
}

void PrintLateness(std::vector<double> late) {
  if (late.empty()) return;
  std::sort(late.begin(), late.end());
  const auto at = [&](double share) { return late[static_cast<std::size_t>(share * (late.size() - 1))]; };
  std::printf("loop ticks=%zu median_ms=%.2f p99_ms=%.2f max_ms=%.2f\n", late.size(), at(0.5), at(0.99), late.back());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  qr::app::ProcessObjects objects;
  qr::ui::qt::QtToolkit toolkit;
  qr::app::MainWindow logic(objects, toolkit);
  qr::app::QueueController controller(objects, logic, toolkit, qr::process::SystemProcessLauncher());
  logic.SetTaskControlHooks(&controller);
  qr::ui::qt::QtMainWindow window(logic.Model(), logic, toolkit);

  std::vector<double> late;
  QElapsedTimer sinceTick;
  QTimer ticker;
  ticker.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    late.push_back(std::max(0.0, Elapsed(sinceTick) - kTickMs));
    sinceTick.restart();
  });
  QElapsedTimer run;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    const bool done = !qr::files::FileExists(qr::queue::QueueFilePath());
    if (!done && run.elapsed() < EnvironmentNumber("LIMIT_S", 300) * 1000) return;
    ticker.stop();
    watcher.stop();
    std::printf("queue %s after %.1f s\n", done ? "done" : "NOT done", Elapsed(run) / 1000);
    PrintLateness(late);
    TimeLog(logic, window, "after");
    std::fflush(stdout);
    QApplication::exit(done ? 0 : 1);
  });

  const int exitCode = window.Run([&] {
    window.Pages()->setCurrentIndex(kLogPage);
    const int lines = EnvironmentNumber("LOG_LINES", 10000);
    for (int i = 0; i < lines; ++i) logic.Log().Append("预先写入的日志 " + std::to_string(i));
    QApplication::processEvents();
    TimeLog(logic, window, "before");
    run.start();
    sinceTick.start();
    ticker.start(kTickMs);
    watcher.start(100);
    logic.OnToolbarClick(kStartButton);
  });
  controller.EndEngineForExit(std::chrono::seconds(3));
  std::fflush(stdout);
  std::_Exit(exitCode);
}
