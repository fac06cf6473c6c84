// The download road of one task after another: the task worker resolves the
// first row's playlist and posts one job per entry on the pool; the jobs
// download, store and count; once the progress timer has seen the task
// complete, the finishing thread merges it with ffmpeg.
//
// Threads: RunTaskWorker runs on a task worker thread, FinishTask on a
// finishing thread, the segment jobs on the pool. The object must outlive
// them all.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "concurrency/critical_lock.h"
#include "concurrency/thread_pool.h"
#include "engine/engine_host.h"
#include "engine/engine_state.h"
#include "runtime/process.h"

namespace qr::engine {

class DownloadEngine {
 public:
  DownloadEngine(EngineHost& host, EngineState& state, qr::concurrency::ThreadPool& pool,
                 qr::concurrency::CriticalLock& lock, qr::process::ProcessLauncher& processes);

  // One task worker run: the first row is resolved and its downloads posted,
  // or given up and the next row taken, until the queue is empty.
  void RunTaskWorker();
  // After every entry of `run` arrived: the local playlist and, when merging
  // is on, the merge.
  void FinishTask(const std::shared_ptr<TaskRun>& run);

  // The command that shuts the computer down after `delay` seconds.
  static std::string ShutdownCommand(const std::string& delay);

 private:
  struct JobContext;
  enum class Step { kDone, kStartOver };

  Step ResolveFirstTask();
  bool FetchWithRetries(const std::string& address, std::string& playlist);
  void GiveUpFirstTask(const char* message, int waitMs);
  void StartSegmentDownloads(const std::shared_ptr<TaskRun>& run);
  static void SegmentJob(void* context, std::int32_t entry, std::int32_t attempt);
  void DownloadEntry(const std::shared_ptr<JobContext>& context, std::int32_t entry, std::int32_t attempt);
  void MergeTask(TaskRun& run, const std::string& localPlaylist);
  bool RunMergeScript(const TaskRun& run);
  void RemoveTaskRow(const TaskRun& run);
  void ShutdownIfAsked();

  EngineHost& host_;
  EngineState& state_;
  qr::concurrency::ThreadPool& pool_;
  qr::concurrency::CriticalLock& lock_;
  qr::process::ProcessLauncher& processes_;
};

}  // namespace qr::engine
