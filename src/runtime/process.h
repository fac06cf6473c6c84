// Starting other programs: the merge batch file or shell script, waited for,
// and the odd command that is started and left to run.
//
// Command lines are code page 936 text. On Windows the line goes to
// CreateProcessW as UTF-16 (a .bat or .cmd file named first is run through
// cmd.exe); on Linux it is the script of `/bin/sh -c`, as UTF-8. The shell
// always starts, so on Linux a program that cannot start is seen only by a
// waited run (the shell's codes 126 and 127 count as "could not be started");
// a detached run reports it as started.
//
// Threads: any thread may call a launcher, and several threads may call it at
// once; RunAndWait blocks only the calling thread.
#pragma once

#include <optional>
#include <string>

namespace qr::process {

enum class WindowMode { kHidden, kShown };

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Runs a command line (code page 936 text) and waits for its end: its exit code, or nullopt when it could not be
  // started.
  virtual std::optional<int> RunAndWait(const std::string& commandLine, WindowMode mode) = 0;
  // Starts it and returns at once; false when it could not be started.
  virtual bool RunDetached(const std::string& commandLine, WindowMode mode) = 0;
};

// The launcher that really starts processes.
ProcessLauncher& SystemProcessLauncher();

}  // namespace qr::process
