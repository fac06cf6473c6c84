#include "queue/queue_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"
#include "queue/download_task.h"

namespace qr::queue {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class QueueFileTest : public qr::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    queue_.SetColumns(QueueColumns());
  }
  int Load() { return LoadQueue(queue_); }
  qr::ui::ListView queue_;
};

TEST_F(QueueFileTest, SavesEveryRowAsQueuedGbkLinesWithCrLf) {
  queue_.AddRow(QueuedTaskRow("电影", "http://a/x.m3u8", "D:\\下载"));
  queue_.AddRow(QueuedTaskRow("b", "http://b/y.m3u8", "/tmp/q"));
  queue_.AddRow(QueuedTaskRow("c", "http://c/z.m3u8", ""));
  queue_.SetCell(0, kColumnState, std::string(kStateDownloading));
  queue_.SetCell(1, kColumnState, "暂停");
  queue_.SetCell(0, kColumnConnection, "[09:05] not saved");
  ASSERT_TRUE(SaveQueue(queue_));
  EXPECT_EQ(Read("download.ini"),
            "电影,http://a/x.m3u8,D:\\下载,排队等待\r\n"
            "b,http://b/y.m3u8,/tmp/q,排队等待\r\n"
            "c,http://c/z.m3u8,,排队等待\r\n");
  // The GBK bytes of 电影 and 排队等待, not UTF-8.
  EXPECT_EQ(Read("download.ini").substr(0, 4), "\xB5\xE7\xD3\xB0");
  EXPECT_NE(Read("download.ini").find("\xC5\xC5\xB6\xD3\xB5\xC8\xB4\xFD\r\n"), std::string::npos);

  qr::ui::ListView reloaded;
  reloaded.SetColumns(QueueColumns());
  EXPECT_EQ(LoadQueue(reloaded), 3);
  EXPECT_EQ(reloaded.Cell(0, kColumnState), "排队等待");
  EXPECT_EQ(reloaded.Cell(1, kColumnState), "排队等待");
  EXPECT_EQ(reloaded.Cell(0, kColumnFolder), "D:\\下载");
}

TEST_F(QueueFileTest, EmptyQueueLeavesNoFileAndRemovesAnOldOne) {
  ASSERT_TRUE(SaveQueue(queue_));
  EXPECT_FALSE(qr::files::FileExists(PathOf("download.ini")));
  Write("download.ini", "a,b,c,排队等待\r\n");
  ASSERT_TRUE(SaveQueue(queue_));
  EXPECT_FALSE(qr::files::FileExists(PathOf("download.ini")));
}

TEST_F(QueueFileTest, SaveReplacesTheWholeFileAndLeavesNoTemporaryBehind) {
  Write("download.ini", "old,http://old.m3u8,x,排队等待\r\nold2,http://old.m3u8,x,排队等待\r\n");
  queue_.AddRow(QueuedTaskRow("new", "http://n.m3u8", "f"));
  ASSERT_TRUE(SaveQueue(queue_));
  EXPECT_EQ(Read("download.ini"), "new,http://n.m3u8,f,排队等待\r\n");
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(qr::files::ToNativePath(folder_))) {
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

// The finishing thread and the window thread both save: racing saves must
// all succeed, and the file must end with the queue as it was last.
TEST_F(QueueFileTest, RacingSavesAllSucceedAndTheLastStateWins) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 50;
  std::atomic<int> failures{0};
  std::vector<std::thread> savers;
  for (int t = 0; t < kThreads; ++t) {
    savers.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        queue_.AddRow(QueuedTaskRow("t" + std::to_string(t), "http://a.m3u8", "f"));
        if (!SaveQueue(queue_)) ++failures;
      }
    });
  }
  for (auto& saver : savers) saver.join();
  EXPECT_EQ(failures, 0);
  const std::string saved = Read("download.ini");
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), kThreads * kRounds);
  queue_.Clear();
  EXPECT_EQ(Load(), kThreads * kRounds);
}

TEST_F(QueueFileTest, LoadSkipsBlankAndShortLinesAndIgnoresExtraFields) {
  Write("download.ini",
        "a,http://a.m3u8,D:\\v,排队等待\r\n"
        "\r\n"
        "short,http://s.m3u8,D:\\v\r\n"
        "b,http://b.m3u8,D:\\w,正在下载,extra,more\r\n");
  EXPECT_EQ(Load(), 2);
  EXPECT_EQ(queue_.Rows(), (Rows{{"a", "http://a.m3u8", "D:\\v", "", "排队等待", "", "", ""},
                                 {"b", "http://b.m3u8", "D:\\w", "", "正在下载", "", "", ""}}));
}

TEST_F(QueueFileTest, TrailingCrLfGivesNoExtraRowAndMissingFileGivesNone) {
  EXPECT_EQ(Load(), 0);
  Write("download.ini", "a,u.m3u8,d,排队等待\r\n\r\n");
  EXPECT_EQ(Load(), 1);
  EXPECT_EQ(queue_.RowCount(), 1);
}

// Whether a name or folder can be used is decided when the task starts; the
// queue keeps every row its file can hold, so a save never drops one.
TEST_F(QueueFileTest, EveryRowIsKeptWhateverItsNameOrFolderHolds) {
  const std::string file =
      "..,http://x.m3u8,D:\\v,排队等待\r\n"
      "a\\b,http://x.m3u8,D:\\v,排队等待\r\n"
      "ok,http://x.m3u8,D:\\v & del,排队等待\r\n"
      ",http://x.m3u8,D:\\v,排队等待\r\n"
      "猫,http://x.m3u8,D:\\Tom & Jerry,排队等待\r\n"
      "100% a^b,http://x.m3u8,D:\\100%,排队等待\r\n"
      "好,http://x.m3u8,D:\\ok,排队等待\r\n";
  Write("download.ini", file);
  EXPECT_EQ(Load(), 7);
  EXPECT_EQ(queue_.Cell(4, kColumnFolder), "D:\\Tom & Jerry");
  ASSERT_TRUE(SaveQueue(queue_));
  EXPECT_EQ(Read("download.ini"), file);
}

}  // namespace
}  // namespace qr::queue
