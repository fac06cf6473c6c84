// The console program: the desktop program's queue and download engine on the
// headless toolkit. It adds tasks to download.ini, runs the queue while
// printing the log (and, on a terminal, a progress line), and ends with 0
// only when every task it ran became a video.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "app/main_window.h"
#include "app/process_objects.h"
#include "app/queue_controller.h"
#include "queue/download_task.h"
#include "queue/queue_file.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "settings/date_format.h"
#include "settings/setting_lookup.h"
#include "ui/headless/headless_toolkit.h"

namespace {

namespace text = qr::text;

constexpr const char* kUsage =
    "用法: quillreel-cli add 地址 [--name 名称] [--dir 目录]\n"
    "      quillreel-cli run\n"
    "      quillreel-cli get 地址 [--name 名称] [--dir 目录] [--timings]\n"
    "      quillreel-cli --help\n";

constexpr const char* kHelp =
    "add  把一个 M3U8 地址加入下载队列 (download.ini)\n"
    "run  开始下载队列, 直到队列为空\n"
    "get  加入一个地址并立即下载, 最后一行输出视频文件的路径\n"
    "--name  任务名称 (默认为当前时间)   --dir  保存目录 (默认为设置中的目录, 否则为当前目录)\n"
    "--timings  结束时在标准错误输出各阶段的耗时 (毫秒)\n"
    "退出码: 0 表示所有任务都已合并成视频, 1 表示有任务失败, 2 表示参数错误\n";

#ifdef _WIN32
bool IsTerminal() { return _isatty(_fileno(stdout)) != 0; }
// The console shows code page 936 as it is; program text is already that.
std::string ForTerminal(std::string_view gbk) { return std::string(gbk); }
std::string FromArgument(const char* argument) { return argument; }
#else
bool IsTerminal() { return isatty(STDOUT_FILENO) != 0; }
std::string ForTerminal(std::string_view gbk) { return qr::codepage::GbkToUtf8(gbk); }
std::string FromArgument(const char* argument) { return qr::codepage::Utf8ToGbk(argument); }
#endif

void Print(std::FILE* stream, std::string_view gbk) {
  const std::string shown = ForTerminal(gbk);
  std::fwrite(shown.data(), 1, shown.size(), stream);
  std::fflush(stream);
}

struct Arguments {
  std::string command;
  std::string url;
  std::string name;
  std::string folder;
  bool timings = false;
};

std::optional<Arguments> Parse(int argc, char** argv) {
  if (argc < 2) return std::nullopt;
  Arguments parsed;
  parsed.command = argv[1];
  std::vector<std::string> rest;
  for (int i = 2; i < argc; ++i) {
    const std::string argument = argv[i];
    if ((argument == "--name" || argument == "--dir") && i + 1 < argc) {
      (argument == "--name" ? parsed.name : parsed.folder) = FromArgument(argv[++i]);
    } else if (argument == "--timings" && parsed.command == "get") {
      parsed.timings = true;
    } else if (argument.starts_with("--")) {
      return std::nullopt;
    } else {
      rest.push_back(FromArgument(argv[i]));
    }
  }
  if (parsed.command == "run")
    return rest.empty() && parsed.name.empty() && parsed.folder.empty() ? std::optional(parsed) : std::nullopt;
  if ((parsed.command != "add" && parsed.command != "get") || rest.size() != 1) return std::nullopt;
  parsed.url = rest.front();
  return parsed;
}

std::string CurrentFolder() {
  std::error_code error;
  return qr::files::FromNativePath(std::filesystem::current_path(error));
}

// The row a new task gets: the name defaults to the time stamp the new-task
// window proposes, the folder to the configured download folder, else here.
std::vector<std::string> NewTaskRow(const Arguments& arguments) {
  std::string name = arguments.name.empty() ? qr::settings::FormatStampText(std::nullopt, 3) : arguments.name;
  std::string folder = arguments.folder;
  if (folder.empty()) folder = qr::settings::ReadSetting(qr::settings::kDownloadFolder);
  if (folder.empty()) folder = CurrentFolder();
  return qr::queue::QueuedTaskRow(std::move(name), text::Trim(arguments.url), std::move(folder));
}

// The progress line shown on a terminal, rewritten in place.
class ProgressLine {
 public:
  explicit ProgressLine(bool shown) : shown_(shown) {}
  // Log lines arrive from the engine's threads.
  void Clear() {
    std::lock_guard guard(mutex_);
    if (shown_ && width_ > 0) std::printf("\r%*s\r", width_, "");
    width_ = 0;
  }
  void Show(const qr::engine::TaskRun& run, int runningJobs) {
    std::lock_guard guard(mutex_);
    if (!shown_ || run.SegmentTotal == 0) return;
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - since_).count();
    if (seconds >= 1.0) {
      bytesPerSecond_ = static_cast<double>(run.BytesWritten - bytesThen_) / seconds;
      bytesThen_ = run.BytesWritten;
      since_ = now;
    }
    const int done = run.SegmentDone;
    const int total = run.SegmentTotal;
    char line[160];
    width_ = std::snprintf(line, sizeof line, "\r[%d/%d] %3d%%  jobs %d  %.1f KB/s", done, total,
                           static_cast<int>(static_cast<double>(done) / total * 100.0), runningJobs,
                           bytesPerSecond_ / 1024.0) -
             1;
    std::fputs(line, stdout);
    std::fflush(stdout);
  }

 private:
  std::mutex mutex_;
  bool shown_;
  int width_ = 0;
  std::chrono::steady_clock::time_point since_ = std::chrono::steady_clock::now();
  std::int64_t bytesThen_ = 0;
  double bytesPerSecond_ = 0;
};

// The window thread of the console program: posted work, the progress timer
// in real time, and the progress line, until the engine has nothing to do.
void RunQueue(qr::app::QueueController& controller, qr::app::ProcessObjects& objects, qr::ui::HeadlessToolkit& toolkit,
              ProgressLine& progress) {
  controller.StartCommand();
  for (;;) {
    toolkit.ProcessPending();
    progress.Show(*objects.Engine().Current(), objects.Pool().RunningJobs());
    if (controller.Idle() && toolkit.DrainPosted() == 0 && controller.Idle()) break;
    toolkit.WaitForEvents(std::chrono::milliseconds(50));
  }
  progress.Clear();
}

// One line for scripts: the download phase (start to the last segment
// written), the delay until the task's end was noticed, the merge, the whole.
void PrintTimings(std::int64_t startedAt, const qr::app::QueueController::TaskTimes& times) {
  const auto ms = [](std::int64_t from, std::int64_t to) { return from && to ? (to - from) / 1000.0 : -1.0; };
  std::fprintf(stderr, "timings: download_ms=%.1f finish_delay_ms=%.1f merge_ms=%.1f total_ms=%.1f\n",
               ms(startedAt, times.lastWriteAt), ms(times.lastWriteAt, times.finishStartedAt),
               ms(times.finishStartedAt, times.mergeEndedAt), ms(startedAt, qr::engine::SteadyMicroseconds()));
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Arguments> arguments = Parse(argc, argv);
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    Print(stdout, std::string(kUsage) + kHelp);
    return 0;
  }
  if (!arguments) {
    Print(stderr, kUsage);
    return 2;
  }

  qr::app::ProcessObjects objects;
  qr::ui::HeadlessToolkit toolkit;
  qr::concurrency::SetThreadMessagePump(&toolkit);
  qr::app::MainWindow window(objects, toolkit);
  toolkit.DriveTimers({&window.ProgressTimer()});
  qr::app::QueueController controller(objects, window, toolkit, qr::process::SystemProcessLauncher());
  window.SetTaskControlHooks(&controller);
  ProgressLine progress(IsTerminal());
  window.LogView().Subscribe([&progress](const qr::ui::ListChange& change) {
    if (change.kind != qr::ui::ListChange::Kind::kRowAdded || change.cells.size() < 2) return;
    progress.Clear();
    Print(stdout, change.cells[1] + "\n");
  });
  if (!window.OnCreated()) {
    Print(stderr, "另一个 Quillreel 正在使用这个程序目录, 请先退出它。\n");
    return 1;
  }

  std::string video;
  if (arguments->command != "run") {
    const std::vector<std::string> row = NewTaskRow(*arguments);
    window.QueueView().AddRow(row);
    window.SaveQueue();
    video = qr::files::JoinPath(row[qr::queue::kColumnFolder], row[qr::queue::kColumnName]) + ".mp4";
    if (arguments->command == "add") {
      Print(stdout, "已加入下载队列: " + row[qr::queue::kColumnName] + "\n");
      return 0;
    }
  }
  if (window.QueueView().RowCount() == 0) {
    Print(stdout, "下载队列为空。\n");
    return 0;
  }
  const std::int64_t startedAt = qr::engine::SteadyMicroseconds();
  RunQueue(controller, objects, toolkit, progress);
  window.SaveQueue();
  if (arguments->timings) PrintTimings(startedAt, controller.LastTaskTimes());

  const int merged = controller.TasksMerged();
  const int failed = controller.TasksFailed();
  const bool leftUnmerged = window.QueueView().Cell(0, qr::queue::kColumnState) == qr::queue::kStateDownloaded;
  if (arguments->command == "get") {
    if (qr::files::FileExists(video)) {
      Print(stdout, video + "\n");
      return 0;
    }
    Print(stderr, leftUnmerged ? "已下载, 但自动合并视频已关闭: 未生成视频。\n" : "下载失败, 未生成视频。\n");
    return 1;
  }
  Print(stdout, "已合并 " + text::FromInt(merged) + " 个任务, 失败 " + text::FromInt(failed) + " 个。\n");
  if (leftUnmerged) Print(stderr, "有任务已下载, 但自动合并视频已关闭: 未生成视频。\n");
  return failed == 0 && !leftUnmerged ? 0 : 1;
}
