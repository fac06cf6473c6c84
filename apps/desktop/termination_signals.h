// Ends the program the orderly way when the system asks it to stop (SIGTERM at
// log-out or shutdown, SIGINT from the terminal, SIGHUP when the terminal
// goes): the handler only notes the signal, and the window thread then runs
// the program's own exit command, so the queue is saved as on every exit.
#pragma once

#include <functional>

namespace qr::apps {

// Call on the window thread once the QApplication exists; `exitCommand` runs
// there, once per signal received.
void OnTerminationSignal(std::function<void()> exitCommand);

}  // namespace qr::apps
