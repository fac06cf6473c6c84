// The Linux desktop program: the Qt application, the process-wide objects,
// the main window's logic and its Qt window, then the event loop.
#include <QApplication>
#include <chrono>
#include <cstdlib>

#include "app/main_window.h"
#include "app/process_objects.h"
#include "app/queue_controller.h"
#include "common/auto_answer_switch.h"
#include "common/demo_switches.h"
#include "desktop/termination_signals.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_toolkit.h"

namespace {
constexpr std::chrono::milliseconds kEnginePatience{3000};
}

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The window and the tray icon come and go; the program ends only by its own exit paths.
  QApplication::setQuitOnLastWindowClosed(false);

  qr::app::ProcessObjects objects;
  qr::ui::qt::QtToolkit toolkit(qr::apps::ProgramAnswersMessagesItself());
  qr::app::MainWindow logic(objects, toolkit);
  qr::app::QueueController controller(objects, logic, toolkit, qr::process::SystemProcessLauncher());
  logic.SetTaskControlHooks(&controller);
  qr::ui::qt::QtMainWindow window(logic.Model(), logic, toolkit);
  // Installed before the window claims the single-instance marker, so a
  // signal to a copy that has claimed it always goes through the exit command.
  qr::apps::OnTerminationSignal([&logic] { logic.ExitCommand(); });
  const int exitCode = window.Run([&logic, &toolkit] { qr::apps::ApplyDemoSwitches(logic, toolkit); });
  // The queue is saved; an engine thread still inside a request or a merge
  // must not outlive the objects it uses, so the process ends around it.
  if (!controller.EndEngineForExit(kEnginePatience)) std::_Exit(exitCode);
  return exitCode;
}
