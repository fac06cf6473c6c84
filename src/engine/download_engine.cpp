#include "engine/download_engine.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/download_list.h"
#include "engine/engine_settings.h"
#include "engine/local_names.h"
#include "engine/local_playlist.h"
#include "engine/merge_script.h"
#include "engine/name_rules.h"
#include "engine/playlist_rules.h"
#include "queue/download_task.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "settings/setting_lookup.h"

namespace qr::engine {
namespace {

namespace text = qr::text;
namespace files = qr::files;
using qr::queue::kColumnAddress;
using qr::queue::kColumnFolder;
using qr::queue::kColumnName;
using qr::queue::kColumnState;

constexpr const char* kInvalidAddress = "下载地址无效,跳到下一个任务!";
constexpr const char* kTooManyErrors = "超过错误,执行下一个任务!";
constexpr const char* kUnusableName = "任务名称不能用作文件名,跳到下一个任务!";
constexpr const char* kUnusableFolder = "任务目录不能使用,跳到下一个任务!";

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

void Sleep(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// True when `row` is the task these cells were read from.
auto SameTask(const std::string& name, const std::string& folder) {
  return [name, folder](const std::vector<std::string>& row) {
    return row[kColumnName] == name && row[kColumnFolder] == folder;
  };
}

std::string QuotedForShell(std::string_view path) { return "'" + text::ReplaceAll(path, "'", "'\\''") + "'"; }

}  // namespace

// Shared by every job of a run; a re-post passes the same record on.
struct DownloadEngine::JobContext : std::enable_shared_from_this<JobContext> {
  JobContext(DownloadEngine& owner, std::shared_ptr<TaskRun> task) : engine(owner), run(std::move(task)) {}
  DownloadEngine& engine;
  std::shared_ptr<TaskRun> run;
};

DownloadEngine::DownloadEngine(EngineHost& host, EngineState& state, qr::concurrency::ThreadPool& pool,
                               qr::concurrency::CriticalLock& lock, qr::process::ProcessLauncher& processes)
    : host_(host), state_(state), pool_(pool), lock_(lock), processes_(processes) {}

void DownloadEngine::RunTaskWorker() {
  // Starting over is a loop, so a long run of tasks given up in a row does not grow the stack.
  while (ResolveFirstTask() == Step::kStartOver) {
  }
}

DownloadEngine::Step DownloadEngine::ResolveFirstTask() {
  state_.ResetForRun();
  qr::ui::ListView& queue = host_.Queue();
  if (queue.RowCount() == 0) {
    host_.QueueFoundEmpty();
    ShutdownIfAsked();
    return Step::kDone;
  }
  host_.Log("正在解析网址中.....");
  queue.SetCell(0, kColumnState, std::string(qr::queue::kStateDownloading));
  const std::vector<std::string> row = queue.Row(0);
  if (!IsUsableTaskName(row[kColumnName])) {
    GiveUpFirstTask(kUnusableName, 300);
    return Step::kStartOver;
  }
  if (!IsUsableTaskFolder(row[kColumnFolder])) {
    GiveUpFirstTask(kUnusableFolder, 300);
    return Step::kStartOver;
  }
  const std::string address = text::RemoveAll(text::RemoveAll(row[kColumnAddress], " "), "\xA1\xA1");

  std::string playlist = text::UpToNul(host_.Fetch(address));
  host_.SetClipboardText(playlist);
  if (!playlist.empty()) {
    if (!text::Contains(playlist, "#EXTM3U", true)) {
      GiveUpFirstTask(kInvalidAddress, 300);
      return Step::kStartOver;
    }
  } else if (!FetchWithRetries(address, playlist)) {
    return Step::kStartOver;
  }

  const PlaylistDecision decision = ResolvePlaylist(address, playlist);
  if (decision.kind != PlaylistKind::kMedia) host_.Log("解析到二次网址,转码中..");
  if (decision.kind == PlaylistKind::kGiveUp) {
    GiveUpFirstTask(kInvalidAddress, 100);
    return Step::kStartOver;
  }
  if (decision.kind == PlaylistKind::kFollowVariant) {
    host_.Log("正在分析网址...");
    queue.SetCell(0, kColumnAddress, decision.variantAddress);
    host_.Wait(100);
    return Step::kStartOver;
  }

  auto run = std::make_shared<TaskRun>();
  run->TaskName = row[kColumnName];
  run->TaskFolder = row[kColumnFolder];
  run->PlaylistText = playlist;
  // Built from the address fetched: a space typed into the queue cell must not reach the entries.
  DownloadList list = BuildDownloadList(address, playlist);
  run->DownloadList = std::move(list.entries);
  run->KeyUri = std::move(list.keyUri);
  run->LocalNames = LocalFileNames(run->DownloadList);
  run->SegmentTotal = static_cast<std::int32_t>(run->DownloadList.size());
  if (run->DownloadList.empty()) {
    // Nothing to download: a dead end like an unusable address.
    GiveUpFirstTask(kInvalidAddress, 100);
    return Step::kStartOver;
  }
  StartSegmentDownloads(run);
  return Step::kDone;
}

// An empty first answer: as many retries as configured, 300 ms around each.
// True when a retry brought a text (it is not checked for "#EXTM3U").
bool DownloadEngine::FetchWithRetries(const std::string& address, std::string& playlist) {
  const std::int32_t retries = ParseRetries();
  // Without retries the empty text goes on and is found unusable.
  if (retries <= 0) return true;
  for (std::int32_t i = 1; i <= retries; ++i) {
    host_.Log("解析错误,第 " + RetryNumeral(i) + " 次重试!");
    host_.Wait(300);
    playlist = text::UpToNul(host_.Fetch(address));
    host_.Wait(300);
    if (!playlist.empty()) {
      host_.Log("解析成功,分析网址中..");
      return true;
    }
    if (i == retries) break;
    host_.Wait(300);
  }
  host_.Log(kTooManyErrors);
  const std::vector<std::string> row = host_.Queue().Row(0);
  host_.Queue().DeleteRowIf(0, SameTask(row[kColumnName], row[kColumnFolder]));
  host_.TaskGivenUp();
  return false;
}

void DownloadEngine::GiveUpFirstTask(const char* message, int waitMs) {
  host_.Log(message);
  const std::vector<std::string> row = host_.Queue().Row(0);
  host_.Wait(waitMs);
  host_.Queue().DeleteRowIf(0, SameTask(row[kColumnName], row[kColumnFolder]));
  host_.TaskGivenUp();
}

void DownloadEngine::StartSegmentDownloads(const std::shared_ptr<TaskRun>& run) {
  pool_.Start(std::nullopt, DownloadThreads(), std::nullopt, true);
  files::EnsureFolder(run->TempFolder());
  state_.SetCurrent(run);
  auto context = std::make_shared<JobContext>(*this, run);
  for (std::int32_t i = 1; i <= run->SegmentTotal; ++i) pool_.PostWithContext(SegmentJob, context, i, 1);
  host_.SegmentDownloadsPosted();
}

void DownloadEngine::SegmentJob(void* context, std::int32_t entry, std::int32_t attempt) {
  auto* job = static_cast<JobContext*>(context);
  job->engine.DownloadEntry(job->shared_from_this(), entry, attempt);
}

void DownloadEngine::DownloadEntry(const std::shared_ptr<JobContext>& context, std::int32_t entry,
                                   std::int32_t attempt) {
  TaskRun& run = *context->run;
  if (run.Stopped) return;
  if (attempt > SegmentAttempts()) {
    run.SegmentFailed = 1;
    host_.TaskMayHaveEnded();
    return;
  }
  std::string url;
  std::string name;
  {
    qr::concurrency::CriticalSection section(lock_);
    url = run.DownloadList[static_cast<std::size_t>(entry - 1)];
    name = run.LocalNames[static_cast<std::size_t>(entry - 1)];
  }
  const std::string body = host_.Fetch(url);
  if (run.Stopped) return;
  if (body.empty()) {
    host_.Log("文件下载失败:" + name + ",失败 " + text::FromInt(attempt) + " 次!");
  } else if (files::WriteFileBytes(files::JoinPath(run.TempFolder(), name), body)) {
    run.BytesWritten += static_cast<std::int64_t>(body.size());
    run.LastWriteAt = SteadyMicroseconds();
    const std::int32_t done = ++run.SegmentDone;
    host_.Log("成功下载第 " + text::FromInt(done) + " 个文件：" + name);
    if (done == run.SegmentTotal) {
      run.AllSegmentsDone = 1;
      host_.TaskMayHaveEnded();
    }
    return;
  }
  host_.Wait(500);
  pool_.PostWithContext(SegmentJob, context, entry, attempt + 1);
}

void DownloadEngine::FinishTask(const std::shared_ptr<TaskRun>& run) {
  run->FinishStartedAt = SteadyMicroseconds();
  const bool merge = MergeVideo();
  if (run->PlaylistText.empty()) return;
  const std::string local = LocalizePlaylist(run->PlaylistText, run->DownloadList, run->LocalNames);
  if (merge) MergeTask(*run, local);
}

void DownloadEngine::MergeTask(TaskRun& run, const std::string& localPlaylist) {
  const bool deleteTemporaryFiles = DeleteTemporaryFiles();
  host_.Log("开始合并文件");
  const std::string folder = run.TempFolder();
  // Linux file names are UTF-8, and so must be the names the merge tool reads.
  files::WriteFileBytes(files::JoinPath(folder, "index.m3u8"),
                        kWindows ? localPlaylist : qr::codepage::GbkToUtf8(localPlaylist));
  const bool merged = RunMergeScript(run);
  const std::string video = run.TempFolder() + ".mp4";
  if (!merged) {
    // Keep what was downloaded: the merge can be repeated by hand.
    host_.Log("合并失败,文件保留在: " + folder);
  } else if (deleteTemporaryFiles) {
    files::DeleteFolderTree(folder);
  }
  run.MergeEndedAt = SteadyMicroseconds();
  RemoveTaskRow(run);
  host_.TaskMerged(run, merged ? video : std::string());
  const std::string continuous = ContinuousDownloadSetting();
  host_.SetContinuousDownload(continuous);
  if (qr::settings::IsYes(continuous)) {
    host_.SaveQueue();
    host_.StartTaskWorker();
  }
}

// Writes the merge script, runs it hidden and waits for it, then deletes it.
// True when a video that is not empty came of it.
bool DownloadEngine::RunMergeScript(const TaskRun& run) {
  const std::string folder = run.TempFolder();
  const std::string programFolder = files::ProgramFolder();
  std::string script;
  std::string scriptPath;
  std::string commandLine;
  if (kWindows) {
    script = BatchMergeScript(run.TaskFolder, run.TaskName, programFolder);
    // cmd.exe expands %NAME% on its command line even inside quotes, so the
    // line that starts the batch file holds none of the task's text: the file
    // sits in the program folder (one program per folder, one merge at a time)
    // and changes into the task's folder itself.
    scriptPath = files::JoinPath(programFolder, "merge.bat");
    commandLine = scriptPath;
  } else {
    const std::string bundled = files::JoinPath(programFolder, "ffmpeg");
    script = ShellMergeScript(run.TaskFolder, run.TaskName, files::FileExists(bundled) ? bundled : "ffmpeg");
    scriptPath = files::JoinPath(folder, "ffmpeg.sh");
    commandLine = "/bin/sh " + QuotedForShell(scriptPath);
  }
  const std::string video = folder + ".mp4";
  if (!script.empty() && files::WriteFileBytes(scriptPath, script)) {
    Sleep(10);
    processes_.RunAndWait(commandLine, qr::process::WindowMode::kHidden);
    Sleep(10);
    files::RemoveFile(scriptPath);
  }
  std::error_code error;
  const auto size = std::filesystem::file_size(files::ToNativePath(video), error);
  return !error && size > 0;
}

void DownloadEngine::RemoveTaskRow(const TaskRun& run) {
  host_.Queue().DeleteRowIf(0, SameTask(run.TaskName, run.TaskFolder));
}

void DownloadEngine::ShutdownIfAsked() {
  const std::string delay = ShutdownDelay();
  if (!ShutdownWhenDone()) return;
  if (!IsUsableShutdownDelay(delay)) {
    host_.Log("关机时间不是数字,不执行自动关机: " + delay);
    return;
  }
  processes_.RunDetached(ShutdownCommand(delay), qr::process::WindowMode::kShown);
}

std::string DownloadEngine::ShutdownCommand(const std::string& delay) {
  // Only the number goes into the command line, whatever else the text holds.
  if (kWindows) return "shutdown -s -t " + text::FromInt(text::ToInt32(delay));
  // Linux counts whole minutes: round up, so the person never gets less time.
  const long long minutes = (text::ToInt32(delay) + 59) / 60;
  return "shutdown -h +" + text::FromInt(minutes);
}

}  // namespace qr::engine
