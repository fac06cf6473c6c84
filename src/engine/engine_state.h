// The download engine's state. Each task worker run makes one TaskRun: the
// task's folder and name, its playlist and its download list, written before
// the record is published and never changed afterwards, so the run's segment
// jobs and its finishing thread share it by pointer while a later run gets a
// record of its own. Only the counters change, atomically.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace qr::engine {

struct TaskRun {
  std::string TaskFolder;   // the first row's folder
  std::string TaskName;     // the first row's name
  std::string ResolvedUrl;  // the playlist address after resolution
  std::string PlaylistText;
  // Entry i (counted from 1) is DownloadList[i - 1], stored under LocalNames[i - 1].
  std::vector<std::string> DownloadList;
  std::vector<std::string> LocalNames;
  std::string KeyUri;
  std::atomic<std::int32_t> SegmentTotal{0};
  std::atomic<std::int32_t> SegmentDone{0};
  std::atomic<std::int32_t> SegmentFailed{0};
  std::atomic<std::int32_t> AllSegmentsDone{0};
  std::atomic<std::int64_t> BytesWritten{0};
  // Set by the stop command: a job still in hand writes nothing more, and the
  // run ends neither as complete nor as failed.
  std::atomic<bool> Stopped{false};
  // Moments of the run on the steady clock (SteadyMicroseconds; 0: not yet),
  // for the console program's timings.
  std::atomic<std::int64_t> LastWriteAt{0};
  std::atomic<std::int64_t> FinishStartedAt{0};
  std::atomic<std::int64_t> MergeEndedAt{0};

  // The task's temporary folder: its folder and name joined.
  std::string TempFolder() const;
};

// Microseconds on the steady clock.
std::int64_t SteadyMicroseconds();

// Any thread.
class EngineState {
 public:
  EngineState() : current_(std::make_shared<TaskRun>()) {}

  // The run the progress timer shows; never null.
  std::shared_ptr<TaskRun> Current() const {
    std::lock_guard guard(mutex_);
    return current_;
  }
  void SetCurrent(std::shared_ptr<TaskRun> run) {
    std::lock_guard guard(mutex_);
    current_ = run ? std::move(run) : std::make_shared<TaskRun>();
  }
  // What every task worker run does first: an empty record, counters at 0.
  void ResetForRun() { SetCurrent(nullptr); }

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<TaskRun> current_;
};

}  // namespace qr::engine
