#include "runtime/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "support/temp_folder.h"

namespace qr::files {
namespace {

using FilesTest = qr::testing::TempFolderTest;

TEST_F(FilesTest, WholeFileReadWriteAppendWithChineseNames) {
  const std::string path = JoinPath(folder_, "电影.txt");
  EXPECT_EQ(ReadFileBytes(path), "");
  ASSERT_TRUE(WriteFileBytes(path, std::string("a\0b\r\n", 5)));
  ASSERT_TRUE(AppendFileBytes(path, "中"));
  EXPECT_EQ(ReadFileBytes(path), std::string("a\0b\r\n中", 7));
  ASSERT_TRUE(WriteFileBytes(path, "x"));
  EXPECT_EQ(ReadFileBytes(path), "x");
  // The name on disk is the Unicode name, not the 936 bytes.
  EXPECT_TRUE(std::filesystem::exists(ToNativePath(folder_) / std::filesystem::path(u8"电影.txt")));
  EXPECT_TRUE(RemoveFile(path));
  EXPECT_FALSE(FileExists(path));
}

TEST_F(FilesTest, ReplaceLeavesNoTemporaryBehind) {
  const std::string path = JoinPath(folder_, "download.ini");
  ASSERT_TRUE(WriteFileBytes(path, "old"));
  ASSERT_TRUE(ReplaceFileBytes(path, "new"));
  EXPECT_EQ(ReadFileBytes(path), "new");
  // A replacement that cannot land (the target is a folder) keeps nothing of its own either.
  const std::string folder = JoinPath(folder_, "目录");
  ASSERT_TRUE(EnsureFolder(folder));
  EXPECT_FALSE(ReplaceFileBytes(folder, "x"));
  EXPECT_TRUE(FolderExists(folder));
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(ToNativePath(folder_))) {
    names.push_back(FromNativePath(entry.path().filename()));
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"download.ini", "目录"}));
}

TEST_F(FilesTest, ReplaceSweepsOnlyAbandonedTemporariesOfItsOwnFile) {
  struct Case {
    const char* name;
    bool fresh;  // written just now rather than five minutes ago
    bool swept;
  };
  const Case cases[] = {
      {"download.ini.123.4.tmp", false, true},   // left by a killed process
      {"download.ini.55.6.tmp", true, false},    // another process writing now
      {"download.ini.x.1.tmp", false, false},    // not a temporary name
      {"download.ini.1.2.3.tmp", false, false},  // not a temporary name
      {"config.ini.123.4.tmp", false, false},    // another file's
  };
  const auto aged = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(5);
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteFileBytes(JoinPath(folder_, c.name), "x"));
    if (!c.fresh) std::filesystem::last_write_time(ToNativePath(JoinPath(folder_, c.name)), aged);
  }
  ASSERT_TRUE(ReplaceFileBytes(JoinPath(folder_, "download.ini"), "new"));
  for (const Case& c : cases) EXPECT_EQ(FileExists(JoinPath(folder_, c.name)), !c.swept) << c.name;
}

TEST_F(FilesTest, EnsureFolderCreatesEveryLevelAndDeleteTreeRemovesIt) {
  const std::string deep = JoinPath(JoinPath(JoinPath(folder_, "一"), "二"), "三");
  ASSERT_TRUE(EnsureFolder(deep));
  ASSERT_TRUE(WriteFileBytes(JoinPath(deep, "f.ts"), "data"));
  EXPECT_TRUE(DeleteFolderTree(JoinPath(folder_, "一")));
  EXPECT_FALSE(FolderExists(JoinPath(folder_, "一")));
  EXPECT_TRUE(FolderExists(folder_));
}

TEST(FilesSafety, TreeDeletionRefusesRootsDrivesAndEscapes) {
  for (const char* unsafe : {"", "/", "\\", "C:", "C:\\", "c:/", "X/..", "X\\..", "C:\\a\\..", "/a/../..", ".", "..",
                             "a/../..", "\\\\server\\share", "//server/share/."}) {
    EXPECT_TRUE(IsUnsafeTreeTarget(unsafe)) << unsafe;
    EXPECT_FALSE(DeleteFolderTree(unsafe)) << unsafe;
  }
  // Every part reads as Windows reads it, without its trailing dots and spaces.
  for (const char* unsafe :
       {"...", ". ", " ", "X/.. ", "X\\...\\..", "C:\\a\\.. ", "C:\\. ", "\\\\server\\share\\..."}) {
    EXPECT_TRUE(IsUnsafeTreeTarget(unsafe)) << '"' << unsafe << '"';
    EXPECT_FALSE(DeleteFolderTree(unsafe)) << '"' << unsafe << '"';
  }
  for (const char* safe :
       {"C:\\videos\\电影", "/tmp/x", "a/b/..", "\\\\server\\share\\dir", "C:\\a\\b\\.. ", "a.b/c"}) {
    EXPECT_FALSE(IsUnsafeTreeTarget(safe)) << safe;
  }
}

// Windows cuts trailing dots and spaces off a path's last part, so "<dl>\..."
// is the download folder itself and "<dl>\.. " its parent.
TEST_F(FilesTest, TargetsEndingInADotOrSpaceAreNeverDeleted) {
  const std::string dl = JoinPath(folder_, "dl");
  ASSERT_TRUE(EnsureFolder(JoinPath(dl, "sub")));
  ASSERT_TRUE(WriteFileBytes(JoinPath(dl, "f.ts"), "x"));
  for (const char* name : {"...", ". ", ".. ", " ", "sub.", "sub "}) {
    EnsureFolder(JoinPath(dl, name));  // elsewhere than Windows a folder of that very name
    EXPECT_FALSE(DeleteFolderTree(JoinPath(dl, name))) << '"' << name << '"';
    EXPECT_TRUE(FileExists(JoinPath(dl, "f.ts"))) << '"' << name << '"';
    EXPECT_TRUE(FolderExists(JoinPath(dl, "sub"))) << '"' << name << '"';
  }
}

TEST(FilesProgramFolder, OverrideWinsAndJoinUsesTheSystemSeparator) {
  const std::string real = ProgramFolder();
  EXPECT_FALSE(real.empty());
  SetProgramFolder("somewhere");
  EXPECT_EQ(ProgramFolder(), "somewhere");
  SetProgramFolder("");
  EXPECT_EQ(ProgramFolder(), real);
  EXPECT_EQ(JoinPath("d", "f"), std::string("d") + PathSeparator() + "f");
  EXPECT_EQ(JoinPath(std::string("d") + PathSeparator(), "f"), std::string("d") + PathSeparator() + "f");
  // A folder ending in a character whose trail byte is a backslash still gets its separator.
  EXPECT_EQ(JoinPath("d\x95\x5C", "f"), std::string("d\x95\x5C") + PathSeparator() + "f");
}

}  // namespace
}  // namespace qr::files
