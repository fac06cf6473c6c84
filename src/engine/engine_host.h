// What the download engine needs from the program around it: the queue, the
// log, the clipboard, the network, waiting, the window's controls and the
// next task. The queue controller provides it; tests provide a fake.
//
// Threads: the task worker, the pool's jobs and the finishing thread call
// every member; none of them may wait for the window thread.
#pragma once

#include <string>
#include <string_view>

#include "engine/engine_state.h"
#include "ui/toolkit/list_view.h"

namespace qr::engine {

class EngineHost {
 public:
  virtual ~EngineHost() = default;

  // The download queue; its first row is the running task.
  virtual qr::ui::ListView& Queue() = 0;
  virtual void Log(std::string_view message) = 0;
  // Replaces the clipboard's text without waiting for it.
  virtual void SetClipboardText(const std::string& text) = 0;
  // The response body of a GET; empty for any failure, including a status
  // outside 200-299.
  virtual std::string Fetch(const std::string& url) = 0;
  virtual void Wait(int milliseconds) = 0;

  // The segment jobs of a task are posted: the toolbar and the progress
  // timer switch to downloading.
  virtual void SegmentDownloadsPosted() = 0;
  // A job found its task complete or failed: the end may be noticed now
  // instead of at the next tick.
  virtual void TaskMayHaveEnded() = 0;
  // The task worker found the queue empty.
  virtual void QueueFoundEmpty() = 0;
  // The run-time switch of continuous download ("真", "假").
  virtual void SetContinuousDownload(const std::string& value) = 0;
  virtual void SaveQueue() = 0;
  // Starts a new task worker on a thread of its own.
  virtual void StartTaskWorker() = 0;
  // The first task could not be used and was removed from the queue.
  virtual void TaskGivenUp() = 0;
  // A merge has ended; `mergedFile` is empty when no video came of it.
  virtual void TaskMerged(const TaskRun& run, const std::string& mergedFile) = 0;
};

}  // namespace qr::engine
