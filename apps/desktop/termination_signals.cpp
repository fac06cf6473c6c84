#include "desktop/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

namespace qr::apps {

namespace {

int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe.
void NoteSignal(int /*signal*/) {
  const char byte = 1;
  (void)!write(signalPipe[1], &byte, 1);
}

}  // namespace

void OnTerminationSignal(std::function<void()> exitCommand) {
  if (signalPipe[0] >= 0 || pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [command = std::move(exitCommand)] {
    char bytes[16];
    while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    command();
  });
  struct sigaction action {};
  action.sa_handler = NoteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace qr::apps
