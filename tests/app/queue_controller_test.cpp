// The queue controller and the engine on the headless backend, with a fake
// network and a recording process launcher: no request leaves the process
// and no command runs.
#include "app/queue_controller.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "app/menu_ids.h"
#include "concurrency/pumping_wait.h"
#include "main_window_fixture.h"
#include "queue/download_task.h"
#include "runtime/files.h"
#include "support/recording_process_launcher.h"

#include <algorithm>

namespace qr::app {
namespace {

using qr::queue::kColumnFileCount;
using qr::queue::kColumnProgress;
using qr::queue::kColumnState;

constexpr const char* kPlaylist =
    "#EXTM3U\n#EXTINF:1,\nseg1.ts\n#EXTINF:1,\nseg2.ts\n#EXTINF:1,\nseg3.ts\n#EXT-X-ENDLIST\n";

class QueueControllerTest : public qr::testing::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    // Merging and continuous download off unless a test says otherwise.
    WriteConfig("[常规]\r\n选择框_自动合并视频=假\r\n选择框_自动连续下载=假\r\n");
  }
  void OpenWithController() {
    Open();
    controller_ = std::make_unique<QueueController>(
        objects_, *window_, toolkit_, launcher_,
        [this](const std::string& url) {
          while (held_ == url) std::this_thread::sleep_for(std::chrono::milliseconds(1));
          std::lock_guard guard(mutex_);
          ++requests_[url];
          return answers_.count(url) ? answers_[url] : std::string();
        },
        [](int) {});
    window_->SetTaskControlHooks(controller_.get());
  }
  void TearDown() override {
    // Engine threads end before the objects they use.
    RunUntil([this] { return controller_ == nullptr || controller_->Idle(); });
    window_->SetTaskControlHooks(nullptr);
    controller_.reset();
    MainWindowTest::TearDown();
  }
  void Answer(const std::string& url, std::string body) {
    std::lock_guard guard(mutex_);
    answers_[url] = std::move(body);
  }
  // The window thread's part: posted work only, the timer never fires.
  template <typename Done>
  bool RunUntil(Done done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
      if (std::chrono::steady_clock::now() > limit) return false;
      toolkit_.DrainPosted();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }
  void AddTask(const std::string& name, const std::string& url) {
    window_->QueueView().AddRow(qr::queue::QueuedTaskRow(name, url, folder_));
  }
  std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    for (const auto& row : window_->LogView().Rows()) lines.push_back(row[1].substr(8));  // after "[HH:mm] "
    return lines;
  }
  qr::ui::Toolbar& Buttons() { return window_->Model().toolbar; }

  qr::process::testing::RecordingProcessLauncher launcher_;
  std::unique_ptr<QueueController> controller_;
  std::mutex mutex_;
  std::map<std::string, std::string> answers_;
  std::map<std::string, int> requests_;
  // A request for this address waits until it is cleared.
  struct HeldAddress {
    std::mutex mutex;
    std::string url;
    bool operator==(const std::string& other) {
      std::lock_guard guard(mutex);
      return url == other;
    }
    void operator=(std::string held) {
      std::lock_guard guard(mutex);
      url = std::move(held);
    }
  } held_;
};

TEST_F(QueueControllerTest, DownloadsTheFirstTaskAndNoticesItsEndWithoutWaitingForATick) {
  OpenWithController();
  Answer("http://h/v/index.m3u8", kPlaylist);
  for (const char* segment : {"seg1.ts", "seg2.ts", "seg3.ts"}) Answer(std::string("http://h/v/") + segment, segment);
  AddTask("movie", "http://h/v/index.m3u8");
  window_->OnToolbarClick(kButtonStart);
  ASSERT_TRUE(RunUntil([&] { return window_->QueueView().Cell(0, kColumnState) == qr::queue::kStateDownloaded; }));
  EXPECT_EQ(window_->QueueView().Cell(0, kColumnProgress), "100%");
  EXPECT_EQ(window_->QueueView().Cell(0, kColumnFileCount), "4/4");
  EXPECT_EQ(qr::files::ReadFileBytes(qr::files::JoinPath(PathOf("movie"), "seg2.ts")), "seg2.ts");
  EXPECT_TRUE(Buttons().IsEnabled(kButtonStart));
  EXPECT_FALSE(Buttons().IsEnabled(kButtonPause));
  EXPECT_EQ(window_->ProgressTimer().Interval(), 0);
  EXPECT_EQ(LogLines().back(), "文件全部下载完成");
  // Merging is off: the row stays and nothing ran.
  ASSERT_TRUE(RunUntil([&] { return controller_->Idle(); }));
  EXPECT_TRUE(launcher_.Runs().empty());
}

TEST_F(QueueControllerTest, AnEntryFailsAfterItsAttemptsAndTheTaskIsDropped) {
  WriteConfig("[常规]\r\n组合框_下载错误=3\r\n选择框_自动连续下载=假\r\n");
  OpenWithController();
  Answer("http://h/v/index.m3u8", kPlaylist);
  Answer("http://h/v/seg1.ts", "one");
  Answer("http://h/v/seg3.ts", "three");
  AddTask("movie", "http://h/v/index.m3u8");
  AddTask("next", "http://h/v/next.m3u8");
  controller_->StartCommand();
  ASSERT_TRUE(RunUntil([&] { return objects_.Engine().Current()->SegmentFailed == 1 && objects_.Pool().IsIdle(); }));
  controller_->ProgressTick();
  const std::vector<std::string> lines = LogLines();
  int failures = 0;
  for (const auto& line : lines) failures += line.starts_with("文件下载失败:seg2.ts,失败 ");
  EXPECT_EQ(failures, 3);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "文件下载失败:seg2.ts,失败 3 次!"), lines.end());
  EXPECT_EQ(window_->QueueView().RowCount(), 1);
  EXPECT_EQ(window_->QueueView().Cell(0, 0), "next");
  EXPECT_FALSE(qr::files::FolderExists(PathOf("movie")));
  // Continuous download off: the next tick reports the interruption.
  controller_->ProgressTick();
  EXPECT_EQ(LogLines().back(), "下载中断");
}

// Continuous download is on by default: a first task that fails hands the
// queue on though no merge or menu click has set the run-time switch yet.
TEST_F(QueueControllerTest, AFailedFirstTaskHandsTheQueueOnWhenTheSettingSaysSo) {
  WriteConfig("[常规]\r\n组合框_下载错误=2\r\n选择框_自动合并视频=假\r\n");
  OpenWithController();
  for (const std::string folder : {"http://h/v/", "http://h/w/"}) {
    Answer(folder + "index.m3u8", kPlaylist);
    Answer(folder + "seg1.ts", "one");
    Answer(folder + "seg3.ts", "three");
  }
  Answer("http://h/w/seg2.ts", "two");
  AddTask("broken", "http://h/v/index.m3u8");
  AddTask("next", "http://h/w/index.m3u8");
  controller_->StartCommand();
  ASSERT_TRUE(RunUntil([&] { return objects_.Engine().Current()->SegmentFailed == 1 && objects_.Pool().IsIdle(); }));
  controller_->ProgressTick();
  ASSERT_TRUE(RunUntil([&] { return window_->QueueView().Cell(0, kColumnState) == qr::queue::kStateDownloaded; }));
  EXPECT_EQ(window_->QueueView().Cell(0, 0), "next");
  EXPECT_EQ(controller_->TasksFailed(), 1);
  EXPECT_FALSE(qr::files::FolderExists(PathOf("broken")));
  EXPECT_EQ(Read("next/seg2.ts"), "two");
}

// The stop command waits while pumping, and the progress timer fires in that
// wait: the stopped task, failed meanwhile, stays queued; only its folder goes.
TEST_F(QueueControllerTest, AProgressTickDuringTheStopWaitLeavesTheNextTasksFolderAlone) {
  WriteConfig("[常规]\r\n组合框_下载错误=1\r\n选择框_自动连续下载=假\r\n");
  OpenWithController();
  const auto previousPump = qr::concurrency::SetThreadMessagePump(&toolkit_);
  toolkit_.DriveTimers({&window_->ProgressTimer()}, 50.0);
  Answer("http://h/v/index.m3u8", kPlaylist);
  AddTask("movie", "http://h/v/index.m3u8");
  AddTask("next", "http://h/v/next.m3u8");
  ASSERT_TRUE(qr::files::EnsureFolder(PathOf("next")));
  Write("next/seg1.ts", "kept from an earlier run");
  controller_->StartCommand();
  ASSERT_TRUE(RunUntil([&] { return objects_.Engine().Current()->SegmentFailed == 1 && objects_.Pool().IsIdle(); }));
  window_->OnToolbarClick(kButtonStop);
  qr::concurrency::SetThreadMessagePump(previousPump);
  EXPECT_EQ(window_->QueueView().Cell(0, 0), "movie");
  EXPECT_EQ(window_->QueueView().Cell(0, kColumnState), qr::queue::kStateQueued);
  EXPECT_FALSE(qr::files::FolderExists(PathOf("movie")));
  EXPECT_EQ(Read("next/seg1.ts"), "kept from an earlier run");
}

// Exit while the task worker waits for the playlist: its threads run out at
// once with empty answers instead of downloading into freed objects.
TEST_F(QueueControllerTest, ExitLetsTheEngineRunOutWithoutSavingOrStartingMore) {
  Open();
  std::atomic<bool> fetching{false};
  controller_ = std::make_unique<QueueController>(
      objects_, *window_, toolkit_, launcher_,
      [&](const std::string& url) {
        if (url.ends_with(".m3u8")) {
          fetching = true;
          std::this_thread::sleep_for(std::chrono::milliseconds(300));
          return std::string(kPlaylist);
        }
        return std::string("segment");
      },
      [](int) {});
  window_->SetTaskControlHooks(controller_.get());
  AddTask("movie", "http://h/v/index.m3u8");
  controller_->StartCommand();
  ASSERT_TRUE(RunUntil([&] { return fetching.load(); }));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(controller_->EndEngineForExit(std::chrono::seconds(5)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(objects_.Engine().Current()->SegmentDone, 0);
  EXPECT_FALSE(qr::files::FileExists(PathOf("download.ini")));
}

// Each kind of unusable task is dropped with its own log lines, nothing is
// created for it, and the worker goes on to the (here empty) rest of the queue.
TEST_F(QueueControllerTest, TasksThatCannotBeDownloadedAreGivenUpWithTheirReason) {
  WriteConfig("[常规]\r\n组合框_解析重试=2\r\n选择框_自动合并视频=假\r\n选择框_自动连续下载=假\r\n");
  const std::string invalid = "下载地址无效,跳到下一个任务!";
  const struct {
    const char* name;
    bool usableFolder;
    const char* playlist;  // nullptr: no answer
    std::vector<std::string> lines;
  } cases[] = {
      {"a.", true, kPlaylist, {"任务名称不能用作文件名,跳到下一个任务!"}},
      {"a", false, kPlaylist, {"任务目录不能使用,跳到下一个任务!"}},
      {"a", true, "<html>404</html>", {invalid}},
      {"a",
       true,
       "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\nlo.m3u8\n#EXT-X-STREAM-INF:BANDWIDTH=2\nhi.m3u8\n",
       {"解析到二次网址,转码中..", invalid}},
      {"a", true, "#EXTM3U\n#EXT-X-ENDLIST\n", {invalid}},
      {"a", true, nullptr, {"解析错误,第 一 次重试!", "解析错误,第 二 次重试!", "超过错误,执行下一个任务!"}},
  };
  OpenWithController();
  int index = 0;
  for (const auto& c : cases) {
    const std::string url = "http://h/" + std::to_string(++index) + ".m3u8";
    if (c.playlist != nullptr) Answer(url, c.playlist);
    window_->QueueView().AddRow(qr::queue::QueuedTaskRow(c.name, url, c.usableFolder ? folder_ : ""));
    window_->LogView().Clear();
    controller_->StartCommand();
    ASSERT_TRUE(RunUntil([&] { return window_->QueueView().RowCount() == 0 && controller_->Idle(); })) << url;
    std::vector<std::string> lines = LogLines();
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& line) { return line.starts_with("正在解析网址"); }),
                lines.end());
    EXPECT_EQ(lines, c.lines) << url;
    EXPECT_FALSE(qr::files::FolderExists(PathOf(c.name))) << url;
  }
  EXPECT_EQ(controller_->TasksFailed(), 6);
}

// Pausing keeps the task downloading and resuming finishes it; a stop puts
// it back in the queue, and the next start downloads it from the beginning.
TEST_F(QueueControllerTest, PauseResumesWhereItWasAndStopThenStartBeginsAgain) {
  OpenWithController();
  Answer("http://h/v/index.m3u8", kPlaylist);
  for (const char* segment : {"seg1.ts", "seg2.ts", "seg3.ts"}) Answer(std::string("http://h/v/") + segment, segment);
  AddTask("movie", "http://h/v/index.m3u8");
  qr::ui::ListView& queue = window_->QueueView();
  const auto segmentsDone = [&] { return objects_.Engine().Current()->SegmentDone.load(); };

  // seg3 is held until a moment after each command: pause and stop wait for the job in hand.
  const auto releaseSoon = [&] {
    return std::thread([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      held_ = "";
    });
  };
  held_ = "http://h/v/seg3.ts";
  controller_->StartCommand();
  ASSERT_TRUE(RunUntil([&] { return segmentsDone() == 3; }));  // the playlist, seg1 and seg2
  std::thread releaser = releaseSoon();
  controller_->TaskCommand(kButtonPause);
  releaser.join();
  EXPECT_EQ(queue.Cell(0, kColumnState), qr::queue::kStateDownloading);
  controller_->TaskCommand(kButtonPause);
  ASSERT_TRUE(RunUntil([&] { return queue.Cell(0, kColumnState) == qr::queue::kStateDownloaded; }));

  queue.SetCell(0, kColumnState, std::string(qr::queue::kStateQueued));
  held_ = "http://h/v/seg3.ts";
  controller_->StartCommand();
  ASSERT_TRUE(RunUntil([&] { return segmentsDone() == 3; }));
  releaser = releaseSoon();
  controller_->TaskCommand(kButtonStop);
  releaser.join();
  EXPECT_EQ(queue.Cell(0, kColumnState), qr::queue::kStateQueued);
  EXPECT_FALSE(qr::files::FolderExists(PathOf("movie")));
  // The next tick reports the interruption and ends the run.
  controller_->ProgressTick();
  EXPECT_EQ(LogLines().back(), "下载中断");
  ASSERT_TRUE(RunUntil([&] { return controller_->Idle(); }));
  controller_->StartCommand();
  ASSERT_TRUE(RunUntil([&] { return queue.Cell(0, kColumnState) == qr::queue::kStateDownloaded; }));
  EXPECT_EQ(segmentsDone(), 4);
  EXPECT_EQ(qr::files::ReadFileBytes(qr::files::JoinPath(PathOf("movie"), "seg1.ts")), "seg1.ts");
  std::lock_guard guard(mutex_);
  EXPECT_EQ(requests_["http://h/v/seg1.ts"], 3);
}

TEST_F(QueueControllerTest, ProgressIsTruncatedAndAnEmptyRunShowsZero) {
  OpenWithController();
  AddTask("movie", "http://h/v/index.m3u8");
  auto run = std::make_shared<qr::engine::TaskRun>();
  run->SegmentTotal = 340;
  run->SegmentDone = 339;
  objects_.Engine().SetCurrent(run);
  controller_->ProgressTick();
  EXPECT_EQ(window_->QueueView().Cell(0, kColumnProgress), "99%");
  EXPECT_EQ(window_->QueueView().Cell(0, kColumnFileCount), "339/340");
  objects_.Engine().ResetForRun();
  controller_->ProgressTick();
  EXPECT_EQ(window_->QueueView().Cell(0, kColumnProgress), "0%");
}

TEST_F(QueueControllerTest, CommandsAndToolbarRules) {
  OpenWithController();
  AddTask("a", "http://h/a.m3u8");
  AddTask("b", "http://h/b.m3u8");
  window_->QueueView().SetCell(0, kColumnState, std::string(qr::queue::kStateDownloading));

  // Delete is refused while the first row downloads, whichever row is selected.
  window_->QueueView().SetSelectedRow(1);
  controller_->TaskCommand(kButtonDelete);
  EXPECT_EQ(window_->QueueView().RowCount(), 2);
  ASSERT_EQ(toolkit_.ShownMessages().size(), 1u);
  EXPECT_EQ(toolkit_.ShownMessages()[0].text, "请先停止任务,再删除任务!");
  // Nor does a start begin a second worker.
  controller_->StartCommand();
  EXPECT_TRUE(controller_->Idle());

  struct Case {
    int selected;
    bool pause, stop, remove;
  };
  for (const Case& c : {Case{0, true, true, true}, Case{1, false, false, true}, Case{-1, false, false, false}}) {
    window_->QueueView().SetSelectedRow(c.selected);
    controller_->QueueSelectionChanged();
    EXPECT_EQ(Buttons().IsEnabled(kButtonPause), c.pause) << c.selected;
    EXPECT_EQ(Buttons().IsEnabled(kButtonStop), c.stop) << c.selected;
    EXPECT_EQ(Buttons().IsEnabled(kButtonDelete), c.remove) << c.selected;
  }

  // Pause and resume change the caption; only the pause is logged.
  controller_->TaskCommand(kButtonPause);
  EXPECT_EQ(Buttons().Caption(kButtonPause), "恢复");
  EXPECT_EQ(LogLines().back(), "已经暂停下载");
  controller_->TaskCommand(kButtonPause);
  EXPECT_EQ(Buttons().Caption(kButtonPause), "暂停");

  // Stop puts the row back in the queue and deletes its temporary folder only.
  ASSERT_TRUE(qr::files::EnsureFolder(PathOf("a")));
  controller_->TaskCommand(kButtonStop);
  EXPECT_EQ(window_->QueueView().Cell(0, kColumnState), qr::queue::kStateQueued);
  EXPECT_FALSE(qr::files::FolderExists(PathOf("a")));
  EXPECT_TRUE(qr::files::FolderExists(folder_));
  EXPECT_TRUE(Buttons().IsEnabled(kButtonStart));
}

TEST_F(QueueControllerTest, EmptyQueueShutsDownOnlyWithADelayOfDigits) {
  struct Case {
    const char* delay;
    std::size_t commands;
  };
  OpenWithController();
  for (const Case& c : {Case{"60", 1}, Case{"6 0 & del x", 1}}) {
    WriteConfig(std::string("[常规]\r\n选择框_完成后自动关机=真\r\n编辑框_关机时间=") + c.delay + "\r\n");
    controller_->StartTaskWorker();
    ASSERT_TRUE(RunUntil([&] { return controller_->Idle(); }));
  }
  ASSERT_EQ(launcher_.Runs().size(), 1u);
  EXPECT_EQ(launcher_.Runs()[0].commandLine, qr::engine::DownloadEngine::ShutdownCommand("60"));
  EXPECT_FALSE(launcher_.Runs()[0].waited);
  EXPECT_FALSE(Buttons().IsEnabled(kButtonDelete));
}

// A message box that lets something happen while it is open, as a desktop
// toolkit's modal loop lets the progress timer fire.
class ModalToolkit : public qr::ui::HeadlessToolkit {
 public:
  std::function<void()> whileOpen;
  int ShowMessage(const qr::ui::MessageRequest& request) override {
    if (whileOpen) std::exchange(whileOpen, nullptr)();
    return HeadlessToolkit::ShowMessage(request);
  }
};

// The delete commands against a queue that changes under them: only the
// deleted task's own folder goes, never while that task downloads, never a
// folder another row still names.
TEST_F(QueueControllerTest, DeleteCommandsRemoveOnlyTheirOwnTasksFolder) {
  Open();
  ModalToolkit modal;
  controller_ = std::make_unique<QueueController>(objects_, *window_, modal, launcher_,
                                                  [](const std::string&) { return std::string(); });
  qr::ui::ListView& queue = window_->QueueView();
  for (const char* name : {"a", "b", "c"}) {
    AddTask(name, "http://h/" + std::string(name) + ".m3u8");
    ASSERT_TRUE(qr::files::EnsureFolder(PathOf(name)));
    Write(std::string(name) + "/seg1.ts", name);
  }
  // A task started while the clear's confirmation is open stays, and so does everything else.
  modal.whileOpen = [&] { queue.SetCell(0, kColumnState, std::string(qr::queue::kStateDownloading)); };
  controller_->TaskCommand(kButtonClearQueue);
  EXPECT_EQ(queue.RowCount(), 3);
  EXPECT_EQ(modal.ShownMessages().back().text, "请先停止任务,再删除任务!");
  queue.SetCell(0, kColumnState, std::string(qr::queue::kStateQueued));

  // A duplicate of "a" goes without the folder the first "a" still names.
  AddTask("a", "http://h/a2.m3u8");
  queue.SetSelectedRow(3);
  controller_->TaskCommand(kButtonDelete);
  EXPECT_EQ(queue.RowCount(), 3);
  EXPECT_EQ(Read("a/seg1.ts"), "a");

  // The engine drops the first row while the selected "b" is being deleted:
  // "b"'s folder goes, "c" keeps its row and folder.
  queue.SetSelectedRow(1);
  std::thread engine([&] { queue.DeleteRowIf(0, [](const auto& row) { return row[0] == "a"; }); });
  controller_->TaskCommand(kButtonDelete);
  engine.join();
  EXPECT_FALSE(qr::files::FolderExists(PathOf("b")));
  EXPECT_EQ(Read("c/seg1.ts"), "c");
  EXPECT_EQ(queue.RowCount(), 1);
  EXPECT_EQ(queue.Cell(0, 0), "c");
  controller_.reset();  // before the toolkit it was given
}

// Every file below `root` (native paths).
std::set<std::filesystem::path> FilesBelow(const std::string& root) {
  std::set<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(qr::files::ToNativePath(root))) {
    found.insert(entry.path());
  }
  return found;
}

// Entries that name other folders, the root, a drive, a device or characters
// no file name may hold, as plain lines and as a key, relative and absolute:
// the whole download road, merge included, writes inside the task's own
// folder only, and every entry is stored there.
TEST_F(QueueControllerTest, HostileEntryNamesWriteNothingOutsideTheTasksFolder) {
  WriteConfig("[常规]\r\n选择框_删除临时文件=假\r\n选择框_自动连续下载=假\r\n");
  const std::string hostile[] = {
      "../../x.ts", "..\\..\\x.ts", "/etc/x",      "C:\\x.ts", "%0a.ts",       "a?.ts",  "a*.ts",
      "a|b.ts",     "%2e%2e%2f.ts", "%2e%2e%2fx",  "..",       "a/../../../x", "con.ts", "x. ",
      "<x>.ts",     "a\"b.ts",      "\\\\h\\s\\x", "a:b",      "....",         "../",    "..%5c..%5cx.ts"};
  std::string relative = "#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"../../k.key\"\n";
  std::string absolute = "#EXTM3U\n";
  for (const std::string& name : hostile) {
    relative += "#EXTINF:1,\n" + name + "\n";
    absolute += "#EXT-X-KEY:METHOD=AES-128,URI=\"http://h/v/" + name + "\"\n#EXTINF:1,\nhttp://h/v/" + name + "\n";
  }
  relative += "#EXT-X-ENDLIST\n";
  absolute += "#EXT-X-ENDLIST\n";
  Open();
  controller_ = std::make_unique<QueueController>(
      objects_, *window_, toolkit_, launcher_,
      [&](const std::string& url) {
        if (url == "http://h/v/relative.m3u8") return relative;
        if (url == "http://h/v/absolute.m3u8") return absolute;
        return "bytes of " + url;
      },
      [](int) {});
  window_->SetTaskControlHooks(controller_.get());
  const std::string taskFolder = qr::files::JoinPath(PathOf("deep"), "er %PATH% & ^x $(y)");
  // Places the names would reach if taken as paths, from the task's folder or the current one.
  const std::vector<std::filesystem::path> outside = {"/etc/x",
                                                      "/x.ts",
                                                      "C:\\x.ts",
                                                      "C:/x.ts",
                                                      std::filesystem::current_path() / "C:\\x.ts",
                                                      std::filesystem::current_path() / "x.ts",
                                                      std::filesystem::current_path() / "x"};
  ASSERT_TRUE(qr::files::EnsureFolder(taskFolder));
  std::vector<bool> existedBefore;
  for (const auto& path : outside) existedBefore.push_back(std::filesystem::exists(path));

  for (const char* playlist : {"relative", "absolute"}) {
    const std::set<std::filesystem::path> before = FilesBelow(folder_);
    window_->QueueView().AddRow(
        qr::queue::QueuedTaskRow(playlist, std::string("http://h/v/") + playlist + ".m3u8", taskFolder));
    controller_->StartCommand();
    // The recording launcher makes no video: the merge fails and keeps the folder.
    ASSERT_TRUE(RunUntil([&] { return window_->QueueView().RowCount() == 0 && controller_->Idle(); })) << playlist;
    const std::string ownFolder = qr::files::JoinPath(taskFolder, playlist);
    const std::filesystem::path own = qr::files::ToNativePath(ownFolder);
    for (const std::filesystem::path& path : FilesBelow(folder_)) {
      if (before.count(path) != 0) continue;
      EXPECT_TRUE(path == own || path.parent_path() == own) << playlist << ": " << path;
    }
    // Each entry under a name of its own, beside the local playlist.
    const std::vector<std::string> names = objects_.Engine().Current()->LocalNames;
    EXPECT_GE(names.size(), std::size(hostile)) << playlist;
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size()) << playlist;
    for (const std::string& name : names) {
      EXPECT_TRUE(qr::files::FileExists(qr::files::JoinPath(ownFolder, name))) << playlist << ": " << name;
    }
  }
  for (std::size_t i = 0; i < outside.size(); ++i) EXPECT_EQ(std::filesystem::exists(outside[i]), existedBefore[i]);
  EXPECT_EQ(controller_->TasksFailed(), 2);
  // The merge's command line: cmd would expand a "%" of the folder even inside quotes.
  ASSERT_EQ(launcher_.Runs().size(), 2u);
  for (const auto& run : launcher_.Runs()) {
#ifdef _WIN32
    EXPECT_EQ(run.commandLine, qr::files::JoinPath(folder_, "merge.bat"));
#else
    EXPECT_TRUE(run.commandLine.starts_with("/bin/sh '" + taskFolder + "/")) << run.commandLine;
#endif
  }
}

}  // namespace
}  // namespace qr::app
