#include "settings/ini_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "runtime/files.h"
#include "runtime/text.h"
#include "settings/setting_lookup.h"
#include "support/temp_folder.h"

namespace qr::settings {
namespace {

std::string Rewritten(std::string_view before, std::string_view section, std::string_view key, std::string_view value) {
  IniDocument document = IniDocument::Parse(before);
  EXPECT_TRUE(document.SetValue(section, key, value));
  return document.Serialize();
}

TEST(IniDocument, SectionsInFirstWrittenOrderKeysAppendedOrRewrittenInPlace) {
  IniDocument document;
  EXPECT_TRUE(document.SetValue("编辑框", "编辑框_目录", "D:\\视频"));
  EXPECT_TRUE(document.SetValue("组合框", "组合框_下载线程", "10<|>0<||>1<|>20"));
  EXPECT_TRUE(document.SetValue("编辑框", "编辑框_关机时间", "60"));
  EXPECT_TRUE(document.SetValue("编辑框", "编辑框_目录", "E:\\下载"));
  EXPECT_EQ(document.Serialize(),
            "[编辑框]\r\n编辑框_目录=E:\\下载\r\n编辑框_关机时间=60\r\n"
            "[组合框]\r\n组合框_下载线程=10<|>0<||>1<|>20\r\n");
  // Values are written as given (a reader trims, the lookup of config.ini does not).
  EXPECT_EQ(Rewritten("", "a", "k", " 真 "), "[a]\r\nk= 真 \r\n");
}

TEST(IniDocument, ReadsNamesWithoutAsciiCaseAndValuesWithoutBlanksOrQuotes) {
  const IniDocument document = IniDocument::Parse(
      "[Main]\r\n  Folder = D:\\a b  \r\nQuoted=\"  x \"\r\nSingle='y'\r\nLone=\"\r\nEmpty=\r\n"
      "[丄]\r\nk=upper\r\n[乤]\r\nk=lower\r\n");
  EXPECT_EQ(document.Value("main", "FOLDER"), "D:\\a b");
  EXPECT_EQ(document.Value(" MAIN ", "quoted"), "  x ");
  EXPECT_EQ(document.Value("Main", "Single"), "y");
  EXPECT_EQ(document.Value("Main", "Lone"), "\"");
  EXPECT_EQ(document.Value("Main", "Empty"), "");
  EXPECT_EQ(document.Value("Main", "Missing"), std::nullopt);
  EXPECT_EQ(document.Value("Other", "Folder"), std::nullopt);
  // Only ASCII letters fold: these two names differ in a second byte that
  // happens to be 'A' or 'a'.
  EXPECT_EQ(document.Value("丄", "k"), "upper");
  EXPECT_EQ(document.Value("乤", "k"), "lower");
}

TEST(IniDocument, KeepsCommentsJunkBlankLinesAndTheirLineEnds) {
  const std::string before = "; written by hand\n[a]\nx=1\n;w=9\njunk line\n\n[b]\ny=2";
  EXPECT_EQ(IniDocument::Parse(before).Value("a", ";w"), std::nullopt);
  EXPECT_EQ(IniDocument::Parse(before).Value("a", "w"), std::nullopt);
  EXPECT_EQ(Rewritten(before, "a", "z", "3"), "; written by hand\n[a]\nx=1\n;w=9\njunk line\nz=3\n\n[b]\ny=2");
  EXPECT_EQ(Rewritten(before, "B", "Y", "4"), "; written by hand\n[a]\nx=1\n;w=9\njunk line\n\n[b]\nY=4");
  // Only the first of two equal keys or sections is read and rewritten.
  EXPECT_EQ(Rewritten("[s]\r\nk=1\r\nk=2\r\n[S]\r\nk=3\r\n", "s", "k", "0"), "[s]\r\nk=0\r\nk=2\r\n[S]\r\nk=3\r\n");
}

// A lone CR ends a line as LF and CR LF do. A rewrite leaves every other
// line and line end as it was; a new line ends like the file's first line.
TEST(IniDocument, LoneCrEndsALineAndARewriteKeepsTheOtherLineEnds) {
  const std::string crOnly = "[s]\rx=1\rz=3\r";
  EXPECT_EQ(IniDocument::Parse(crOnly).Value("s", "x"), "1");
  EXPECT_EQ(IniDocument::Parse(crOnly).Value("s", "z"), "3");
  struct Case {
    std::string before, section, key, value, after;
  };
  for (const Case& c : std::vector<Case>{
           {crOnly, "s", "x", "9", "[s]\rx=9\rz=3\r"},
           {crOnly, "s", "w", "5", "[s]\rx=1\rz=3\rw=5\r"},
           {crOnly, "t", "k", "v", "[s]\rx=1\rz=3\r[t]\rk=v\r"},
           {"[a]\nx=1\r\n[b]\ry=2", "a", "k", "v", "[a]\nx=1\r\nk=v\n[b]\ry=2"},
           {"[a]\nx=1\r\n[b]\ry=2", "b", "z", "3", "[a]\nx=1\r\n[b]\ry=2\nz=3\n"},
           {"[a]\r\r\nx=1", "a", "x", "2", "[a]\r\r\nx=2"},
       }) {
    EXPECT_EQ(Rewritten(c.before, c.section, c.key, c.value), c.after) << c.before;
  }
}

TEST(IniDocument, RefusesWhatWouldNotReadBackAsWritten) {
  const std::string before = "[a]\r\nk=1\r\n";
  IniDocument document = IniDocument::Parse(before);
  EXPECT_FALSE(document.SetValue("a", "k", "x\r\n[a]\r\nk=injected"));
  EXPECT_FALSE(document.SetValue("a", "k", "line1\nline2"));
  EXPECT_FALSE(document.SetValue("a", "k=2", "v"));
  EXPECT_FALSE(document.SetValue("a", " ", "v"));
  EXPECT_FALSE(document.SetValue("a", ";k", "v"));
  EXPECT_FALSE(document.SetValue("a", "[k]", "v"));
  EXPECT_FALSE(document.SetValue("a]b", "k", "v"));
  EXPECT_FALSE(document.SetValue("", "k", "v"));
  // Half a character at a name's end would take the "]" or "=" after it.
  EXPECT_FALSE(document.SetValue("a\xFF", "k", "v"));
  EXPECT_FALSE(document.SetValue("a", "k\x81", "v"));
  EXPECT_EQ(document.Serialize(), before);
  // 乚 ends in the byte of "]", which is no bracket inside the character.
  EXPECT_TRUE(document.SetValue("乚", "乚", "v"));
  EXPECT_EQ(document.Value("乚", "乚"), "v");
  // A value ends at a zero byte, as it would in a C string.
  EXPECT_TRUE(document.SetValue("a", "k", std::string("ab\0cd", 5)));
  EXPECT_EQ(document.Value("a", "k"), "ab");
}

TEST(IniDocument, LongValuesComeBackCutWithoutSplittingACharacter) {
  std::string chinese;
  for (int i = 0; i < 5119; ++i) chinese += "年";
  IniDocument document;
  document.SetValue("a", "fits", "a" + chinese);        // 10239 bytes
  document.SetValue("a", "straddles", "ab" + chinese);  // the last character would end at byte 10240
  document.SetValue("a", "long", std::string(20000, 'x'));
  EXPECT_EQ(document.Value("a", "fits")->size(), 10239u);
  EXPECT_EQ(*document.Value("a", "straddles"), "ab" + chinese.substr(0, chinese.size() - 2));
  EXPECT_EQ(*document.Value("a", "long"), std::string(10239, 'x'));
  // The file itself keeps the whole value.
  EXPECT_NE(document.Serialize().find(std::string(20000, 'x')), std::string::npos);
}

using IniFileTest = qr::testing::ProgramFolderTest;

TEST_F(IniFileTest, MissingFileReadsTheFallbackAndTheFirstWriteCreatesIt) {
  const std::string path = files::JoinPath(folder_, "setsoft.ini");
  EXPECT_EQ(ReadIniValue(path, "编辑框", "编辑框_目录"), "");
  EXPECT_EQ(ReadIniValue(path, "编辑框", "编辑框_目录", "默认"), "默认");
  ASSERT_TRUE(WriteIniValue(path, "编辑框", "编辑框_目录", "D:\\视频"));
  EXPECT_EQ(files::ReadFileBytes(path), "[编辑框]\r\n编辑框_目录=D:\\视频\r\n");
  EXPECT_EQ(ReadIniValue(path, "编辑框", "编辑框_目录", "默认"), "D:\\视频");
  EXPECT_EQ(ReadIniValue(path, "编辑框", "编辑框_其他", "默认"), "默认");
  // A refused value leaves the file as it was.
  EXPECT_FALSE(WriteIniValue(path, "编辑框", "编辑框_目录", "a\r\nb"));
  EXPECT_EQ(ReadIniValue(path, "编辑框", "编辑框_目录"), "D:\\视频");
  // A folder that does not exist cannot take the file.
  EXPECT_FALSE(WriteIniValue(files::JoinPath(folder_, "missing/x.ini"), "a", "k", "v"));
}

TEST_F(IniFileTest, TheSettingLookupFindsWhatTheStoreWrites) {
  // A hand-edited file whose last line has no line end: invisible to the lookup until rewritten.
  ASSERT_TRUE(files::WriteFileBytes(ConfigPath(), "[选择框]\r\n选择框_启动托盘图标=真"));
  EXPECT_FALSE(IsSettingOn(kTrayIconAtStart));
  ASSERT_TRUE(WriteIniValue(ConfigPath(), "编辑框", "编辑框_目录", "D:\\视频"));
  ASSERT_TRUE(WriteIniValue(ConfigPath(), "组合框", "组合框_下载线程", "10<|>0<||>99<|>1<||>1<|>99"));
  ASSERT_TRUE(WriteIniValue(ConfigPath(), "组合框", "组合框_下载错误", "1<|>0<||>0<|>5"));
  ASSERT_TRUE(WriteIniValue(ConfigPath(), "单选框", "单选框_退出", "真"));
  EXPECT_TRUE(IsSettingOn(kTrayIconAtStart));
  EXPECT_EQ(ReadSetting(kDownloadFolder), "D:\\视频");
  EXPECT_EQ(ReadSettingTail(kDownloadThreads, 2), 99);
  EXPECT_EQ(ReadSettingTail(kSegmentAttempts, 1), 5);
  EXPECT_TRUE(IsSettingOn(kCloseExits));
  ASSERT_TRUE(WriteIniValue(ConfigPath(), "单选框", "单选框_退出", "假"));
  EXPECT_FALSE(IsSettingOn(kCloseExits));
  EXPECT_EQ(files::ReadFileBytes(ConfigPath()),
            "[选择框]\r\n选择框_启动托盘图标=真\r\n[编辑框]\r\n编辑框_目录=D:\\视频\r\n"
            "[组合框]\r\n组合框_下载线程=10<|>0<||>99<|>1<||>1<|>99\r\n组合框_下载错误=1<|>0<||>0<|>5\r\n"
            "[单选框]\r\n单选框_退出=假\r\n");
}

TEST_F(IniFileTest, AnEditReachesTheFileWholeOrNotAtAll) {
  const std::string path = files::JoinPath(folder_, "config.ini");
  ASSERT_TRUE(files::WriteFileBytes(path, "[甲]\r\na=1\r\n"));
  // Until the edit returns the file holds the old content, whatever the edit changed.
  ASSERT_TRUE(EditIniFile(path, [&](IniDocument& document) {
    document.SetValue("甲", "a", "2");
    document.SetValue("乙", "b", "3");
    EXPECT_EQ(files::ReadFileBytes(path), "[甲]\r\na=1\r\n");
    return true;
  }));
  EXPECT_EQ(files::ReadFileBytes(path), "[甲]\r\na=2\r\n[乙]\r\nb=3\r\n");
  // An edit that gives up writes none of its changes.
  EXPECT_FALSE(EditIniFile(path, [](IniDocument& document) { return document.SetValue("甲", "a", "9") && false; }));
  EXPECT_EQ(ReadIniValue(path, "甲", "a"), "2");
}

TEST_F(IniFileTest, WritersOnSeveralThreadsLoseNoKey) {
  const std::string path = files::JoinPath(folder_, "config.ini");
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([&path, t] {
      for (int i = 0; i < 25; ++i) {
        WriteIniValue(path, "线程" + text::FromInt(t), "键" + text::FromInt(i), text::FromInt(t * 100 + i));
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < 25; ++i) {
      EXPECT_EQ(ReadIniValue(path, "线程" + text::FromInt(t), "键" + text::FromInt(i)), text::FromInt(t * 100 + i));
    }
  }
}

}  // namespace
}  // namespace qr::settings
