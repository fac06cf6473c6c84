#include "queue/task_safety.h"

#include <gtest/gtest.h>

#include <string>

namespace qr::queue {
namespace {

TEST(TaskSafetyTest, NamesThatLeaveTheFolderOrCannotBeFileNamesAreUnsafe) {
  for (const std::string name :
       {"", ".", "..", "a\\b", "a/b", "c:x", "a*", "a?", "a\"b", "a<b", "a>b", "a|b", "a\tb", "a\nb", "a\x7F"}) {
    EXPECT_FALSE(IsSafeTaskName(name)) << name;
  }
  // Batch characters are ordinary in a name: the merge script escapes them.
  for (const std::string name : {"电影", "a.b", "第1集 (高清)", "x-y_z", "a,b", " a", ".a", "a&b", "a^b", "100%"}) {
    EXPECT_TRUE(IsSafeTaskName(name)) << name;
  }
}

// Windows cuts trailing dots and spaces from a name: "..." and ". " would name
// the folder itself, ".. " its parent, "a." another task's "a".
TEST(TaskSafetyTest, NamesOfDotsAndSpacesOrEndingInOneAreUnsafe) {
  for (const std::string name : {"...", ". ", ".. ", " ", "  ", ". .", "a.", "a ", "电影.", "电影 "}) {
    EXPECT_FALSE(IsSafeTaskName(name)) << '"' << name << '"';
  }
}

TEST(TaskSafetyTest, TrailBytesThatLookLikeSeparatorsAreNotSeparators) {
  // The second byte of 乗 is 0x5C ('\') and that of 亅 is 0x7C ('|').
  EXPECT_EQ(std::string("乗").substr(1), "\\");
  EXPECT_EQ(std::string("亅").substr(1), "|");
  EXPECT_TRUE(IsSafeTaskName("乗"));
  EXPECT_TRUE(IsSafeTaskName("亅乗x"));
  EXPECT_TRUE(IsSafeTaskFolder("D:\\乗\\亅"));
  // A real separator after a two-byte character is still found.
  EXPECT_FALSE(IsSafeTaskName("乗\\"));
}

TEST(TaskSafetyTest, FoldersMayHoldSeparatorsAndBatchCharactersButNoWildcardsOrPipes) {
  for (const std::string folder :
       {"C:\\Users\\下载", "/home/me/视频", "", "D:\\Tom & Jerry", "D:\\100%", "C:\\%TEMP%", "a^b"}) {
    EXPECT_TRUE(IsSafeTaskFolder(folder)) << folder;
  }
  for (const std::string folder : {"C:\\a|b", "a>b", "a<b", "a*", "a?", "a\"b", "a\r\nb", "a\tb"}) {
    EXPECT_FALSE(IsSafeTaskFolder(folder)) << folder;
  }
  EXPECT_EQ(CheckTask("..", "C:\\a|b"), TaskSafety::kUnsafeName);
  EXPECT_EQ(CheckTask("ok", "C:\\a|b"), TaskSafety::kUnsafeFolder);
  EXPECT_EQ(CheckTask("a&b", "C:\\a&b"), TaskSafety::kSafe);
  EXPECT_EQ(CheckTask("ok", "C:\\ok"), TaskSafety::kSafe);
}

}  // namespace
}  // namespace qr::queue
