// A process launcher for tests: it records every call and answers with a
// configured result. It never runs anything, whatever the command line says.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "runtime/process.h"

namespace qr::process::testing {

struct RecordedRun {
  std::string commandLine;
  WindowMode mode = WindowMode::kHidden;
  bool waited = false;
};

class RecordingProcessLauncher : public ProcessLauncher {
 public:
  std::optional<int> RunAndWait(const std::string& commandLine, WindowMode mode) override {
    Record({commandLine, mode, true});
    std::lock_guard lock(mutex_);
    return waitedResult_;
  }
  bool RunDetached(const std::string& commandLine, WindowMode mode) override {
    Record({commandLine, mode, false});
    std::lock_guard lock(mutex_);
    return detachedResult_;
  }

  // What RunAndWait answers (default: exit code 0); nullopt plays "could not start".
  void SetWaitedResult(std::optional<int> result) {
    std::lock_guard lock(mutex_);
    waitedResult_ = result;
  }
  // What RunDetached answers (default: started).
  void SetDetachedResult(bool started) {
    std::lock_guard lock(mutex_);
    detachedResult_ = started;
  }
  std::vector<RecordedRun> Runs() const {
    std::lock_guard lock(mutex_);
    return runs_;
  }

 private:
  void Record(RecordedRun run) {
    std::lock_guard lock(mutex_);
    runs_.push_back(std::move(run));
  }

  mutable std::mutex mutex_;
  std::vector<RecordedRun> runs_;
  std::optional<int> waitedResult_ = 0;
  bool detachedResult_ = true;
};

}  // namespace qr::process::testing
