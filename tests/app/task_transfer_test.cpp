#include "queue/task_transfer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "queue/download_task.h"
#include "ui/headless/headless_toolkit.h"

namespace qr::queue {
namespace {

class TaskTransferTest : public qr::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    queue_.SetColumns(QueueColumns());
    WriteConfig("[编辑框]\r\n编辑框_目录=D:\\视频\r\n");
  }
  int ImportFile(const std::string& bytes) {
    Write("import.txt", bytes);
    toolkit_.QueueOpenFile(PathOf("import.txt"));
    return ImportTasks(queue_, toolkit_);
  }
  qr::ui::ListView queue_;
  qr::ui::HeadlessToolkit toolkit_;
};

TEST_F(TaskTransferTest, ImportsUtf8ChineseNamesIntoTheConfiguredFolder) {
  const std::string file = reinterpret_cast<const char*>(
      u8"第一集,http://example.test/a/index.m3u8\r\n"
      u8"第二集,http://example.test/b/index.m3u8,ignored\r\n");
  EXPECT_EQ(ImportFile(file), 2);
  EXPECT_EQ(queue_.Rows(),
            (std::vector<std::vector<std::string>>{
                {"第一集", "http://example.test/a/index.m3u8", "D:\\视频", "", "排队等待", "", "", ""},
                {"第二集", "http://example.test/b/index.m3u8", "D:\\视频", "", "排队等待", "", "", ""}}));
  const auto requests = toolkit_.OpenFileRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].title, "请选择欲导入的文本");
  EXPECT_EQ(requests[0].initialFolder, folder_);
  EXPECT_EQ(requests[0].filter, "配置设置(*.txt)|*.txt|文本文件(*.ini)|*.ini|所有文件(*.*)|*.*");
  EXPECT_TRUE(toolkit_.ShownMessages().empty());
}

TEST_F(TaskTransferTest, LfOnlyFileIsOneLineAndShortLinesAreSkipped) {
  EXPECT_EQ(ImportFile("a,http://x/1.m3u8\nb,http://x/2.m3u8\n"), 1);
  EXPECT_EQ(queue_.Cell(0, kColumnName), "a");
  EXPECT_EQ(queue_.Cell(0, kColumnAddress), "http://x/1.m3u8\nb");
  queue_.Clear();
  EXPECT_EQ(ImportFile("lonely\r\nc,http://x/3.m3u8\r\n\r\n"), 1);
  EXPECT_EQ(queue_.Cell(0, kColumnName), "c");
}

TEST_F(TaskTransferTest, ByteOrderMarkDoesNotSpoilTheFirstName) {
  EXPECT_EQ(ImportFile("\xEF\xBB\xBF"
                       "a,http://x/1.m3u8\r\n"),
            1);
  EXPECT_EQ(queue_.Cell(0, kColumnName), "a");
}

TEST_F(TaskTransferTest, FileWithoutCommaIsRefusedAndEmptyOrCancelledAddsNothing) {
  EXPECT_EQ(ImportFile("http://x/1.m3u8\r\n"), 0);
  auto shown = toolkit_.ShownMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "仅支持用 , 分割");
  EXPECT_EQ(shown[0].title, "信息：");
  EXPECT_EQ(shown[0].style, 16);

  EXPECT_EQ(ImportFile(""), 0);
  EXPECT_EQ(ImportTasks(queue_, toolkit_), 0);  // no scripted answer: the dialog is cancelled
  EXPECT_EQ(queue_.RowCount(), 0);
  EXPECT_EQ(toolkit_.ShownMessages().size(), 1u);
}

// Names and folders are checked when a task starts, not on import.
TEST_F(TaskTransferTest, ImportKeepsEveryLineWhateverItsNameOrFolderHolds) {
  const std::string file =
      reinterpret_cast<const char*>(u8"..\\..\\evil,http://x/1.m3u8\r\n猫 & 狗 100%,http://x/2.m3u8\r\n");
  EXPECT_EQ(ImportFile(file), 2);
  EXPECT_EQ(queue_.Cell(1, kColumnName), "猫 & 狗 100%");
  WriteConfig("编辑框_目录=D:\\a&b\r\n");
  EXPECT_EQ(ImportFile("ok,http://x/3.m3u8\r\n"), 1);
  EXPECT_EQ(queue_.Cell(2, kColumnFolder), "D:\\a&b");
}

TEST_F(TaskTransferTest, ExportAppendsNameAndAddressOfEveryRow) {
  queue_.AddRow(QueuedTaskRow("电影", "http://a/x.m3u8", "D:\\v"));
  queue_.AddRow(QueuedTaskRow("b", "http://b/y.m3u8", "D:\\v"));
  Write("out.txt", "kept\r\n");
  toolkit_.QueueSaveFile(PathOf("out.txt"));
  toolkit_.QueueSaveFile(PathOf("out.txt"));
  EXPECT_TRUE(ExportTasks(queue_, toolkit_));
  EXPECT_TRUE(ExportTasks(queue_, toolkit_));
  const std::string once = "电影,http://a/x.m3u8\r\nb,http://b/y.m3u8\r\n";
  EXPECT_EQ(Read("out.txt"), "kept\r\n" + once + once);
  EXPECT_EQ(toolkit_.SaveFileRequests()[0].title, "");
  EXPECT_EQ(toolkit_.SaveFileRequests()[0].initialFolder, folder_);
  EXPECT_FALSE(ExportTasks(queue_, toolkit_));  // cancelled
}

}  // namespace
}  // namespace qr::queue
