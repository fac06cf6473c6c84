// The queue's controller: the task commands of the toolbar, menus and tray,
// the toolbar's rules, the progress timer that ends each task, and the
// threads of the download engine. Every front end (the two desktop programs
// and the console program) plugs one into its main window.
//
// Threads: the commands, ProgressTick and the selection run on the window
// thread. The EngineHost members are called by the engine's threads; they
// change thread-safe models or post work to the window thread and never wait
// for it.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "app/main_window.h"
#include "app/process_objects.h"
#include "app/task_control_hooks.h"
#include "engine/download_engine.h"
#include "engine/engine_host.h"
#include "runtime/process.h"
#include "ui/toolkit/toolkit_services.h"

namespace qr::app {

class QueueController : public TaskControlHooks, public qr::engine::EngineHost {
 public:
  using Fetcher = std::function<std::string(const std::string& url)>;
  using Waiter = std::function<void(int milliseconds)>;

  // `fetch` empty: the web request; `wait` empty: a pumping wait.
  QueueController(ProcessObjects& objects, MainWindow& window, qr::ui::ToolkitServices& services,
                  qr::process::ProcessLauncher& processes, Fetcher fetch = {}, Waiter wait = {});
  ~QueueController() override;
  QueueController(const QueueController&) = delete;
  QueueController& operator=(const QueueController&) = delete;

  // TaskControlHooks (window thread)
  void TaskCommand(int n) override;
  void StartCommand() override;
  // The options window, on the page the queue list's tag asks for.
  void OpenOptionsWindow(bool ownedByMainWindow) override;
  void QueueSelectionChanged() override;
  void ProgressTick() override;

  // What a front end reports (any thread).
  int TasksMerged() const { return merged_; }
  int TasksFailed() const { return failed_; }
  std::string LastVideo() const;
  // Moments (qr::engine::SteadyMicroseconds) of the last task merged.
  struct TaskTimes {
    std::int64_t lastWriteAt = 0;
    std::int64_t finishStartedAt = 0;
    std::int64_t mergeEndedAt = 0;
  };
  TaskTimes LastTaskTimes() const;
  // No engine thread is busy, the pool is stopped and the timer is off.
  bool Idle();
  // Window thread, after the event loop has ended (the queue is saved by
  // then): stops the pool and lets the engine's threads run out, saving and
  // starting nothing more. False when some are still busy after `patience`
  // (a request or a merge in progress): the program must then end without
  // freeing what they use.
  bool EndEngineForExit(std::chrono::milliseconds patience);

  // EngineHost (engine threads)
  qr::ui::ListView& Queue() override { return window_.QueueView(); }
  void Log(std::string_view message) override;
  void SetClipboardText(const std::string& text) override;
  std::string Fetch(const std::string& url) override;
  void Wait(int milliseconds) override;
  void SegmentDownloadsPosted() override;
  void TaskMayHaveEnded() override;
  void QueueFoundEmpty() override;
  void SetContinuousDownload(const std::string& value) override;
  void SaveQueue() override;
  void StartTaskWorker() override;
  void TaskGivenUp() override { ++failed_; }
  void TaskMerged(const qr::engine::TaskRun& run, const std::string& mergedFile) override;

  // The body of a GET when its status is 2xx; empty otherwise.
  static std::string FetchBody(const std::string& url);

 private:
  void Start();
  void OpenNewTaskWindow();
  void Stop();
  void DeleteSelectedTask();
  void ClearQueue();
  void RefuseWhileDownloading();
  void EndTaskIfIdle();
  bool ContinuesAfterFailure() const;
  void StartFinishing(std::shared_ptr<qr::engine::TaskRun> run);
  template <typename Body>
  void RunInBackground(Body body);
  qr::ui::Toolbar& Buttons() { return window_.Model().toolbar; }

  ProcessObjects& objects_;
  MainWindow& window_;
  qr::ui::ToolkitServices& services_;
  Fetcher fetch_;
  Waiter wait_;
  qr::engine::DownloadEngine engine_;
  std::atomic<int> merged_{0};
  std::atomic<int> failed_{0};
  mutable std::mutex videoMutex_;
  std::string lastVideo_;
  TaskTimes lastTimes_;
  std::atomic<bool> earlyTickPosted_{false};
  std::atomic<bool> exiting_{false};
  // Shared with threads that may end after the controller.
  std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
};

}  // namespace qr::app
