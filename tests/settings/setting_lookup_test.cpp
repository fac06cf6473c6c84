#include "settings/setting_lookup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "runtime/files.h"
#include "support/temp_folder.h"

namespace qr::settings {
namespace {

class SettingLookupTest : public qr::testing::ProgramFolderTest {
 protected:
  void WriteConfig(std::string_view text) { ASSERT_TRUE(files::WriteFileBytes(ConfigPath(), text)); }
};

TEST_F(SettingLookupTest, MissingFileReadsEmptyAndOff) {
  EXPECT_EQ(ReadSetting(kDownloadFolder), "");
  EXPECT_FALSE(IsSettingOn(kTrayIconAtStart));
  EXPECT_EQ(ReadSettingTail(kDownloadThreads, 2), 0);
}

TEST_F(SettingLookupTest, ReadsTheCurrentFileEveryTime) {
  WriteConfig("[编辑框]\r\n编辑框_目录=D:\\视频\r\n");
  EXPECT_EQ(ReadSetting(kDownloadFolder), "D:\\视频");
  WriteConfig("[编辑框]\r\n编辑框_目录=E:\\下载\r\n");
  EXPECT_EQ(ReadSetting(kDownloadFolder), "E:\\下载");
}

TEST_F(SettingLookupTest, CheckBoxTailsAndTheExactYes) {
  WriteConfig("[选择框]\r\n选择框_启动托盘图标=真\r\n选择框_自动合并视频=真 \r\n选择框_删除临时文件=假\r\n");
  EXPECT_TRUE(IsSettingOn(kTrayIconAtStart));
  EXPECT_FALSE(IsSettingOn(kMergeVideo));
  EXPECT_FALSE(IsSettingOn(kDeleteTemporaryFiles));
}

TEST_F(SettingLookupTest, ComboTailsAsNumbers) {
  WriteConfig(
      "[组合框]\r\n组合框_下载线程=10<|>0<||>99<|>89<||>89<|>99\r\n组合框_下载错误=1<|>0<||>4<|>5\r\n"
      "组合框_解析重试=0<|>\r\n");
  EXPECT_EQ(ReadSettingTail(kDownloadThreads, 2), 99);
  EXPECT_EQ(ReadSettingTail(kSegmentAttempts, 1), 5);
  EXPECT_EQ(ReadSettingTail(kParseRetries, 1), 0);
  // A one-digit thread text reads with the byte before it: ">5" is no number.
  WriteConfig("组合框_下载线程=1<|>5\r\n");
  EXPECT_EQ(ReadSettingTail(kDownloadThreads, 2), 0);
}

TEST_F(SettingLookupTest, LastLineWithoutLineEndAndTextAfterNul) {
  WriteConfig("单选框_退出=真\r\n单选框_最小化=真");
  EXPECT_TRUE(IsSettingOn(kCloseExits));
  EXPECT_FALSE(IsSettingOn(kCloseHides));
  WriteConfig(std::string("a=1\r\n") + std::string(1, '\0') + "单选框_退出=真\r\n");
  EXPECT_FALSE(IsSettingOn(kCloseExits));
}

}  // namespace
}  // namespace qr::settings
