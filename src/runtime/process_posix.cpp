#include <signal.h>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

#include "runtime/codepage.h"
#include "runtime/process.h"

extern char** environ;

namespace qr::process {
namespace {

// The exit code of a finished child; a child killed by a signal reports 128 + the
// signal number, as the shell does.
int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

std::optional<int> WaitFor(pid_t child) {
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return std::nullopt;
  }
  return ExitCodeOf(status);
}

// `/bin/sh -c <line>`. Without a window to hide, a hidden child writes its
// output nowhere instead of into our terminal. A new session keeps a
// detached child out of our terminal's signals.
std::optional<pid_t> Spawn(const std::string& commandLine, WindowMode mode, bool newSession) {
  const std::string script = codepage::GbkToUtf8(commandLine);
  char shell[] = "/bin/sh";
  char dashC[] = "-c";
  char* argv[] = {shell, dashC, const_cast<char*>(script.c_str()), nullptr};
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // The child starts with default signal handling even when this process ignores SIGPIPE or SIGCHLD.
  sigset_t everySignal;
  sigfillset(&everySignal);
  posix_spawnattr_setsigdefault(&attributes, &everySignal);
  // Nor does it inherit a signal mask, such as a server's blocked SIGTERM.
  sigset_t noSignals;
  sigemptyset(&noSignals);
  posix_spawnattr_setsigmask(&attributes, &noSignals);
  short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
  if (newSession) flags |= POSIX_SPAWN_SETSID;
  posix_spawnattr_setflags(&attributes, flags);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (mode == WindowMode::kHidden) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  }
  pid_t child = 0;
  const int error = ::posix_spawn(&child, shell, &actions, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return std::nullopt;
  return child;
}

class PosixProcessLauncher : public ProcessLauncher {
 public:
  std::optional<int> RunAndWait(const std::string& commandLine, WindowMode mode) override {
    const std::optional<pid_t> child = Spawn(commandLine, mode, false);
    if (!child) return std::nullopt;
    const std::optional<int> exitCode = WaitFor(*child);
    if (exitCode == kCommandNotFound || exitCode == kNotExecutable) return std::nullopt;
    return exitCode;
  }

  bool RunDetached(const std::string& commandLine, WindowMode mode) override {
    const std::optional<pid_t> child = Spawn(commandLine, mode, true);
    if (!child) return false;
    // Someone must reap the child, or it stays a zombie for the life of this process.
    std::thread([pid = *child] { WaitFor(pid); }).detach();
    return true;
  }

 private:
  // The shell itself always starts; it reports a program it could not start
  // with these codes, which count as "could not be started", as on Windows.
  static constexpr int kNotExecutable = 126;
  static constexpr int kCommandNotFound = 127;
};

}  // namespace

ProcessLauncher& SystemProcessLauncher() {
  static PosixProcessLauncher launcher;
  return launcher;
}

}  // namespace qr::process
