#include "app/app_log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "queue/download_task.h"

namespace qr::app {
namespace {

class AppLogTest : public ::testing::Test {
 protected:
  AppLogTest() {
    queue_.SetColumns(qr::queue::QueueColumns());
    log_.SetColumns(LogColumns());
  }
  qr::concurrency::CriticalLock lock_;
  qr::ui::ListView queue_;
  qr::ui::ListView log_;
  AppLog appLog_{lock_, queue_, log_, [] { return std::string("09:05"); }};
};

TEST_F(AppLogTest, LinesAreNumberedFromOneAndTheFirstQueueRowShowsTheLast) {
  queue_.AddRow(qr::queue::QueuedTaskRow("a", "u", "d"));
  queue_.AddRow(qr::queue::QueuedTaskRow("b", "u", "d"));
  appLog_.Append("开始下载");
  appLog_.Append("second");
  appLog_.Append("下载完成");
  EXPECT_EQ(log_.Rows(), (std::vector<std::vector<std::string>>{
                             {"1", "[09:05] 开始下载"}, {"2", "[09:05] second"}, {"3", "[09:05] 下载完成"}}));
  EXPECT_EQ(queue_.Cell(0, qr::queue::kColumnConnection), "[09:05] 下载完成");
  EXPECT_EQ(queue_.Cell(1, qr::queue::kColumnConnection), "");
  EXPECT_EQ(log_.LastEnsureVisibleRow(), 2);
}

TEST_F(AppLogTest, EmptyQueueStillGetsTheLogRowAndClearingRestartsTheNumbers) {
  appLog_.Append("a");
  appLog_.Append("b");
  EXPECT_EQ(queue_.RowCount(), 0);
  appLog_.Clear();
  EXPECT_EQ(log_.RowCount(), 0);
  appLog_.Append("c");
  EXPECT_EQ(log_.Row(0), (std::vector<std::string>{"1", "[09:05] c"}));
}

TEST_F(AppLogTest, ConcurrentLinesKeepUniqueNumbersInRowOrder) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([this, t] {
      for (int i = 0; i < 100; ++i) appLog_.Append("thread " + std::to_string(t));
    });
  }
  for (auto& thread : threads) thread.join();
  ASSERT_EQ(log_.RowCount(), 400);
  for (int row = 0; row < 400; ++row) EXPECT_EQ(log_.Cell(row, 0), std::to_string(row + 1));
}

TEST(AppLogClockTest, TheRealClockWritesHoursAndMinutes) {
  const std::string now = HourMinuteNow();
  ASSERT_EQ(now.size(), 5u);
  EXPECT_EQ(now[2], ':');
  const int hours = std::stoi(now.substr(0, 2));
  const int minutes = std::stoi(now.substr(3, 2));
  EXPECT_TRUE(hours >= 0 && hours < 24 && minutes >= 0 && minutes < 60) << now;
}

TEST(ProgramLogTest, AppendLogReachesTheInstalledLogOnly) {
  qr::concurrency::CriticalLock lock;
  qr::ui::ListView queue;
  qr::ui::ListView log;
  log.SetColumns(LogColumns());
  AppLog appLog(lock, queue, log);
  AppendLog("dropped");
  SetProgramLog(&appLog);
  std::thread([] { AppendLog("from a worker"); }).join();
  SetProgramLog(nullptr);
  AppendLog("dropped too");
  ASSERT_EQ(log.RowCount(), 1);
  EXPECT_EQ(log.Cell(0, 1).substr(7), " from a worker");
}

TEST(ProgramLogTest, NoLineReachesALogOnceItIsTakenAway) {
  // Workers write lines all the time; once SetProgramLog(nullptr) has
  // returned, the log may go, so not one more line may arrive in it.
  for (int round = 0; round < 20; ++round) {
    qr::concurrency::CriticalLock lock;
    qr::ui::ListView queue;
    qr::ui::ListView log;
    log.SetColumns(LogColumns());
    std::atomic<bool> takenAway{false};
    std::atomic<int> lateLines{0};
    log.Subscribe([&](const qr::ui::ListChange& change) {
      if (change.kind == qr::ui::ListChange::Kind::kRowAdded && takenAway) ++lateLines;
    });
    AppLog appLog(lock, queue, log, [] { return std::string("09:05"); });
    SetProgramLog(&appLog);
    std::atomic<bool> stop{false};
    std::vector<std::thread> workers;
    for (int t = 0; t < 3; ++t) {
      workers.emplace_back([&stop] {
        while (!stop) AppendLog("segment done");
      });
    }
    while (log.RowCount() < 50) std::this_thread::yield();
    SetProgramLog(nullptr);
    takenAway = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    stop = true;
    for (auto& worker : workers) worker.join();
    ASSERT_EQ(lateLines, 0) << "round " << round;
  }
}

}  // namespace
}  // namespace qr::app
