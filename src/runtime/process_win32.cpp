#include <windows.h>

#include <algorithm>
#include <utility>

#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/process.h"
#include "runtime/text.h"

namespace qr::process {
namespace {

bool NamesBatchFile(const std::string& program) {
  const std::string lower = text::ToLowerAscii(program);
  return text::EndsWith(lower, ".bat") || text::EndsWith(lower, ".cmd");
}

// Splits a command line into its program and the rest: a quoted program runs to
// its closing quote; a whole line naming a batch file is the program, spaces and
// all (the merge runs its batch file by its bare full path); else the program
// ends at the first space.
std::pair<std::string, std::string> SplitProgram(const std::string& commandLine) {
  const std::string line = text::Trim(commandLine);
  if (text::StartsWith(line, "\"")) {
    const std::string program = text::TextBetween(line, text::kQuoteToken, text::kQuoteToken);
    return {program, line.substr(std::min(line.size(), program.size() + 2))};
  }
  if (NamesBatchFile(line)) return {line, ""};
  const std::size_t space = text::Find(line, " ");
  if (space == text::npos) return {line, ""};
  return {line.substr(0, space), line.substr(space)};
}

// A batch file is run by cmd.exe, which we name ourselves rather than count on
// CreateProcess doing it. `/s /c "<line>"` makes cmd.exe strip exactly the
// outer quotes and keep the rest of the line as it is; quoting the program lets
// a path with spaces or batch characters (&, ^, parentheses) through.
std::string FullCommandLine(const std::string& commandLine) {
  const auto [program, rest] = SplitProgram(commandLine);
  if (!NamesBatchFile(program)) return commandLine;
  return "cmd.exe /d /s /c \"\"" + program + "\"" + rest + "\"";
}

struct StartedProcess {
  HANDLE process = nullptr;
};

std::optional<StartedProcess> Start(const std::string& commandLine, WindowMode mode) {
  // cmd.exe itself would start for a missing batch file and only fail inside.
  const std::string program = SplitProgram(commandLine).first;
  if (NamesBatchFile(program) && !files::FileExists(program)) return std::nullopt;
  std::u16string line = codepage::GbkToUtf16(FullCommandLine(commandLine));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  DWORD flags = 0;
  if (mode == WindowMode::kHidden) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    flags = CREATE_NO_WINDOW;
  }
  PROCESS_INFORMATION started{};
  // CreateProcessW may write into the command line buffer: `line` is our own copy.
  if (!CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(line.data()), nullptr, nullptr, FALSE, flags, nullptr,
                      nullptr, &startup, &started)) {
    return std::nullopt;
  }
  CloseHandle(started.hThread);
  return StartedProcess{started.hProcess};
}

class Win32ProcessLauncher : public ProcessLauncher {
 public:
  std::optional<int> RunAndWait(const std::string& commandLine, WindowMode mode) override {
    const std::optional<StartedProcess> started = Start(commandLine, mode);
    if (!started) return std::nullopt;
    WaitForSingleObject(started->process, INFINITE);
    DWORD exitCode = 0;
    const bool known = GetExitCodeProcess(started->process, &exitCode);
    CloseHandle(started->process);
    if (!known) return std::nullopt;
    return static_cast<int>(exitCode);
  }

  bool RunDetached(const std::string& commandLine, WindowMode mode) override {
    const std::optional<StartedProcess> started = Start(commandLine, mode);
    if (!started) return false;
    CloseHandle(started->process);
    return true;
  }
};

}  // namespace

ProcessLauncher& SystemProcessLauncher() {
  static Win32ProcessLauncher launcher;
  return launcher;
}

}  // namespace qr::process
