#include "app/queue_controller.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/menu_ids.h"
#include "app/new_task_window.h"
#include "app/options_window.h"
#include "concurrency/pumping_wait.h"
#include "engine/engine_settings.h"
#include "engine/name_rules.h"
#include "http/web_request.h"
#include "queue/download_task.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "settings/setting_lookup.h"

namespace qr::app {
namespace {

using qr::concurrency::PoolState;
using qr::concurrency::StopMode;
using qr::queue::kColumnFileCount;
using qr::queue::kColumnFolder;
using qr::queue::kColumnName;
using qr::queue::kColumnProgress;
using qr::queue::kColumnState;
using qr::queue::kColumnThreads;
namespace text = qr::text;

constexpr std::string_view kPauseCaption = "暂停";
constexpr std::string_view kResumeCaption = "恢复";
// How long the early end of a task waits for the job that completed it to return.
constexpr auto kEarlyTickPatience = std::chrono::milliseconds(500);

// The toolbar's rules: what each event does to buttons 1 to 4 (start, pause,
// stop, delete). A missing value leaves the button as it is.
struct ButtonRule {
  std::optional<bool> start, pause, stop, remove;
};
constexpr ButtonRule kDownloadsPosted{false, true, true, {}};
constexpr ButtonRule kStopped{true, false, false, {}};
constexpr ButtonRule kNoRowSelected{{}, {}, {}, false};
constexpr ButtonRule kDownloadingRowSelected{{}, true, true, true};
constexpr ButtonRule kOtherRowSelected{{}, false, false, true};
constexpr ButtonRule kRowsRemoved{{}, {}, {}, false};
constexpr ButtonRule kPoolIdle{true, {}, {}, {}};

void Apply(qr::ui::Toolbar& toolbar, const ButtonRule& rule) {
  const std::pair<int, std::optional<bool>> buttons[] = {
      {kButtonStart, rule.start}, {kButtonPause, rule.pause}, {kButtonStop, rule.stop}, {kButtonDelete, rule.remove}};
  for (const auto& [index, enabled] : buttons) {
    if (enabled) toolbar.SetEnabled(index, *enabled);
  }
}

bool SameTask(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  return !a.empty() && !b.empty() && a[kColumnName] == b[kColumnName] && a[kColumnFolder] == b[kColumnFolder];
}

// True when a row of the queue is the same task as `task` (a duplicate
// shares its folder, which must then stay).
bool NamedByAnyRow(const qr::ui::ListView& queue, const std::vector<std::string>& task) {
  const auto rows = queue.Rows();
  return std::any_of(rows.begin(), rows.end(), [&task](const auto& row) { return SameTask(row, task); });
}

// A row's temporary folder may be deleted only when the row names one: both
// cells set and usable, so the path can only be that task's own folder.
void DeleteTemporaryFolder(const std::string& folder, const std::string& name) {
  if (!qr::engine::IsUsableTaskFolder(folder) || !qr::engine::IsUsableTaskName(name)) return;
  qr::files::DeleteFolderTree(qr::files::JoinPath(folder, name));
}

}  // namespace

QueueController::QueueController(ProcessObjects& objects, MainWindow& window, qr::ui::ToolkitServices& services,
                                 qr::process::ProcessLauncher& processes, Fetcher fetch, Waiter wait)
    : objects_(objects),
      window_(window),
      services_(services),
      fetch_(fetch ? std::move(fetch) : Fetcher(FetchBody)),
      wait_(wait ? std::move(wait) : Waiter([](int ms) { qr::concurrency::PumpingWait(ms); })),
      engine_(*this, objects.Engine(), objects.Pool(), objects.Lock(), processes) {}

QueueController::~QueueController() { *alive_ = false; }

std::string QueueController::FetchBody(const std::string& url) {
  int status = 0;
  qr::http::WebRequestOptions options;
  options.statusCode = &status;
  std::string body = qr::http::WebRequest(url, options);
  if (status < 200 || status > 299) return {};
  return body;
}

void QueueController::TaskCommand(int n) {
  switch (n) {
    case kButtonStart:
      Start();
      break;
    case kButtonPause:
      if (Buttons().Caption(kButtonPause) == kPauseCaption) {
        objects_.Pool().Pause();
        Buttons().SetCaption(kButtonPause, std::string(kResumeCaption));
        Log("已经暂停下载");
      } else {
        objects_.Pool().Resume();
        Buttons().SetCaption(kButtonPause, std::string(kPauseCaption));
      }
      break;
    case kButtonStop:
      Stop();
      break;
    case kButtonDelete:
      DeleteSelectedTask();
      break;
    case kButtonClearQueue:
      ClearQueue();
      break;
    case kButtonNewTask:
      OpenNewTaskWindow();
      break;
    case kButtonOptions:
      OpenOptionsWindow(true);
      break;
    default:
      break;
  }
}

void QueueController::OpenNewTaskWindow() {
  NewTaskWindow dialog(services_, Queue(), window_.Model().window.Geometry(), objects_.AutoName());
  dialog.Run();
}

// The owner is the toolkit's to choose: a modal form always sits above the main window.
void QueueController::OpenOptionsWindow(bool /*ownedByMainWindow*/) {
  OptionsWindow dialog(services_, window_.Model().window.Geometry(), Queue().Tag());
  dialog.Run();
}

void QueueController::StartCommand() { Start(); }

void QueueController::Start() {
  qr::ui::ListView& queue = Queue();
  if (queue.RowCount() == 0 || queue.Cell(0, kColumnState) == qr::queue::kStateDownloading) return;
  StartTaskWorker();
}

void QueueController::Stop() {
  qr::concurrency::ThreadPool& pool = objects_.Pool();
  const std::vector<std::string> stopped = Queue().Row(0);
  // A tick during the wait below must not finish or drop the stopped task.
  objects_.Engine().Current()->Stopped = true;
  pool.Stop(StopMode::DiscardNoWait);
  qr::concurrency::PumpingWait(300);
  while (pool.GetState() == PoolState::Stopping) qr::concurrency::PumpingWait(1000);
  Apply(Buttons(), kStopped);
  qr::ui::ListView& queue = Queue();
  // The row as it is now, not as it was before the wait.
  const std::vector<std::string> row = queue.Row(0);
  if (queue.RowCount() > 0) queue.SetCell(0, kColumnState, std::string(qr::queue::kStateQueued));
  Log("已停止下载");
  // Only the stopped task's own folder: a progress tick during the wait may
  // have removed its row, and the first row may now be the next task.
  if (SameTask(row, stopped)) DeleteTemporaryFolder(row[kColumnFolder], row[kColumnName]);
}

void QueueController::DeleteSelectedTask() {
  qr::ui::ListView& queue = Queue();
  if (queue.Cell(0, kColumnState) == qr::queue::kStateDownloading) {
    RefuseWhileDownloading();
    return;
  }
  // The row is taken and its cells read in one step, and never while it
  // downloads: engine threads remove and start rows meanwhile, and only the
  // row deleted here names the folder that may go with it.
  const auto deleted = queue.DeleteSelectedRowIf(
      [](const std::vector<std::string>& row) { return row[kColumnState] != qr::queue::kStateDownloading; });
  if (deleted && !NamedByAnyRow(queue, *deleted)) {
    DeleteTemporaryFolder((*deleted)[kColumnFolder], (*deleted)[kColumnName]);
  }
  Apply(Buttons(), kRowsRemoved);
}

void QueueController::ClearQueue() {
  const int answer = services_.ShowMessage(
      {"您确定要从 M3U8 下载列表中移除全部的下载任务吗?", "下载任务移除确认", qr::ui::message_box::kOkCancel, true});
  if (answer != qr::ui::message_box::kAnswerOk) return;
  // The message box lets the progress timer run: a task may have started meanwhile.
  if (Queue().Cell(0, kColumnState) == qr::queue::kStateDownloading) {
    RefuseWhileDownloading();
    return;
  }
  Queue().Clear();
  Apply(Buttons(), kRowsRemoved);
}

void QueueController::RefuseWhileDownloading() {
  services_.ShowMessage({"请先停止任务,再删除任务!", "信息：", qr::ui::message_box::kOk, true});
}

void QueueController::QueueSelectionChanged() {
  qr::ui::ListView& queue = Queue();
  const int selected = queue.SelectedRow();
  if (selected < 0) {
    Apply(Buttons(), kNoRowSelected);
    return;
  }
  const bool downloading = queue.Cell(selected, kColumnState) == qr::queue::kStateDownloading;
  Apply(Buttons(), downloading ? kDownloadingRowSelected : kOtherRowSelected);
  if (objects_.Pool().GetState() == PoolState::Running) Buttons().SetEnabled(kButtonStart, false);
}

void QueueController::ProgressTick() {
  qr::concurrency::ThreadPool& pool = objects_.Pool();
  const std::shared_ptr<qr::engine::TaskRun> run = objects_.Engine().Current();
  const std::int32_t done = run->SegmentDone;
  const std::int32_t total = run->SegmentTotal;
  qr::ui::ListView& queue = Queue();
  const int percent = total > 0 ? static_cast<int>(static_cast<double>(done) / total * 100.0) : 0;
  queue.SetCell(0, kColumnProgress, text::FromInt(percent) + "%");
  queue.SetCell(0, kColumnFileCount, text::FromInt(done) + "/" + text::FromInt(total));
  queue.SetCell(0, kColumnThreads, text::FromInt(pool.RunningJobs()));
  if (pool.IsIdle()) {
    Buttons().SetEnabled(kButtonStart, true);
    pool.Stop();
  }
  if (pool.GetState() != PoolState::Stopped) return;
  Apply(Buttons(), kStopped);
  if (run->SegmentFailed == 1 && !run->Stopped) {
    DeleteTemporaryFolder(run->TaskFolder, run->TaskName);
    run->SegmentFailed = 0;
    ++failed_;
    queue.DeleteRowIf(0, [&run](const std::vector<std::string>& row) {
      return row[kColumnName] == run->TaskName && row[kColumnFolder] == run->TaskFolder;
    });
    if (ContinuesAfterFailure()) StartTaskWorker();
    return;
  }
  if (run->AllSegmentsDone == 1 && !run->Stopped) {
    run->AllSegmentsDone = 0;  // a second look at the same run finds nothing more to do
    queue.SetCell(0, kColumnState, std::string(qr::queue::kStateDownloaded));
    Log("文件全部下载完成");
    queue.SetCell(0, kColumnProgress, "100%");
    StartFinishing(run);
  } else {
    Log("下载中断");
  }
  window_.ProgressTimer().SetInterval(0);
}

// The run-time switch is set by the menu or by each merge; before either has
// happened it is empty, and the setting the merge would copy counts, or a
// first task that fails would end a queue the person asked to run through.
bool QueueController::ContinuesAfterFailure() const {
  std::string continuous = objects_.ContinuousDownload().Get();
  if (continuous.empty()) continuous = qr::engine::ContinuousDownloadSetting();
  return qr::settings::IsYes(continuous);
}

void QueueController::StartFinishing(std::shared_ptr<qr::engine::TaskRun> run) {
  RunInBackground([this, run] { engine_.FinishTask(run); });
}

template <typename Body>
void QueueController::RunInBackground(Body body) {
  // Counted before the thread exists, so the controller is never idle in between.
  auto work = std::make_shared<ProcessObjects::BackgroundWork>(objects_);
  std::thread([work, body] { body(); }).detach();
}

bool QueueController::Idle() {
  return objects_.BackgroundWorkCount() == 0 && objects_.Pool().GetState() == PoolState::Stopped &&
         window_.ProgressTimer().Interval() == 0;
}

bool QueueController::EndEngineForExit(std::chrono::milliseconds patience) {
  exiting_ = true;
  window_.ProgressTimer().SetInterval(0);
  qr::concurrency::ThreadPool& pool = objects_.Pool();
  const auto giveUp = std::chrono::steady_clock::now() + patience;
  for (;;) {
    // A task worker still resolving may start the pool again: stop it each time.
    if (pool.GetState() != PoolState::Stopped) pool.Stop(StopMode::DiscardNoWait);
    if (objects_.BackgroundWorkCount() == 0 && pool.GetState() == PoolState::Stopped) return true;
    if (std::chrono::steady_clock::now() >= giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string QueueController::LastVideo() const {
  std::lock_guard guard(videoMutex_);
  return lastVideo_;
}

QueueController::TaskTimes QueueController::LastTaskTimes() const {
  std::lock_guard guard(videoMutex_);
  return lastTimes_;
}

void QueueController::Log(std::string_view message) { AppendLog(message); }

void QueueController::SetClipboardText(const std::string& text) {
  qr::ui::ToolkitServices& services = services_;
  services.PostToWindowThread([&services, text] { services.SetClipboardText(text); });
}

// While the program exits, the engine's threads get empty answers at once,
// so they run out instead of downloading on.
std::string QueueController::Fetch(const std::string& url) { return exiting_ ? std::string() : fetch_(url); }

void QueueController::Wait(int milliseconds) {
  if (!exiting_) wait_(milliseconds);
}

void QueueController::SegmentDownloadsPosted() {
  if (exiting_) return;
  Apply(Buttons(), kDownloadsPosted);
  window_.ProgressTimer().SetInterval(1000);
}

// The last job of a task asks for a tick at once instead of up to a second
// later; it runs on the window thread once that job has returned.
void QueueController::TaskMayHaveEnded() {
  if (earlyTickPosted_.exchange(true)) return;
  auto alive = alive_;
  services_.PostToWindowThread([this, alive] {
    if (!*alive) return;
    earlyTickPosted_ = false;
    const auto run = objects_.Engine().Current();
    if (run->AllSegmentsDone != 1) return;
    const auto giveUp = std::chrono::steady_clock::now() + kEarlyTickPatience;
    while (!objects_.Pool().IsIdle() && std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (window_.ProgressTimer().Interval() != 0) ProgressTick();
  });
}

void QueueController::QueueFoundEmpty() { Apply(Buttons(), kRowsRemoved); }

void QueueController::SetContinuousDownload(const std::string& value) { objects_.ContinuousDownload().Set(value); }

// The queue was saved as the program exited; what the engine drops from it
// while running out must not reach the file.
void QueueController::SaveQueue() {
  if (!exiting_) window_.SaveQueue();
}

void QueueController::StartTaskWorker() {
  if (exiting_) return;
  RunInBackground([this] { engine_.RunTaskWorker(); });
}

void QueueController::TaskMerged(const qr::engine::TaskRun& run, const std::string& mergedFile) {
  {
    std::lock_guard guard(videoMutex_);
    lastTimes_ = {run.LastWriteAt, run.FinishStartedAt, run.MergeEndedAt};
    if (!mergedFile.empty()) lastVideo_ = mergedFile;
  }
  ++(mergedFile.empty() ? failed_ : merged_);
}

}  // namespace qr::app
