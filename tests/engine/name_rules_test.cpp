#include "engine/name_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace qr::engine {
namespace {

TEST(NameRulesTest, TaskNamesMustMakeTheSameFileOnBothSystems) {
  for (const std::string name : {"", ".", "..", " ", ". .", "a.", "a ", "a\\b", "a/b", "c:x", "a*", "a?", "a\"b", "a<b",
                                 "a>b", "a|b", "a\tb", "a\x7F", "CON", "nul.txt", "Com1", "LPT9.mp4", "乗\\",
                                 // Broken characters: half of one at the end, a lead byte hiding a control byte.
                                 "\x83", "a\xB0", "\x81\x1F"}) {
    EXPECT_FALSE(IsUsableTaskName(name)) << name;
  }
  EXPECT_FALSE(IsUsableTaskName(std::string("\xB8\0", 2)));
  // The trail bytes of 乗 and 亅 are '\' and '|'; command characters are quoted by the scripts.
  for (const std::string name : {"电影", "乗", "亅x", ".a", "a.b", "Tom & Jerry", "100%", "a^b", "CONSOLE", "COM0"}) {
    EXPECT_TRUE(IsUsableTaskName(name)) << name;
  }
}

// Windows cuts trailing dots and spaces from a name: "..." and ". " would name
// the folder itself, ".. " its parent, "a." another task's "a".
TEST(NameRulesTest, NamesOfDotsAndSpacesOrEndingInOneAreRefused) {
  for (const std::string name : {"...", ". ", ".. ", "  ", "电影.", "电影 ", "a\nb"}) {
    EXPECT_FALSE(IsUsableTaskName(name)) << '"' << name << '"';
  }
  for (const std::string name : {" a", "第1集 (高清)", "x-y_z", "a,b"}) EXPECT_TRUE(IsUsableTaskName(name)) << name;
}

TEST(NameRulesTest, FoldersMayHoldSeparatorsAndBatchCharactersButNoWildcardsOrPipes) {
  for (const std::string folder :
       {"C:\\Users\\下载", "/home/me/视频", "D:\\Tom & Jerry", "D:\\100%", "C:\\%TEMP%", "a^b", "D:\\乗\\亅"}) {
    EXPECT_TRUE(IsUsableTaskFolder(folder)) << folder;
  }
  // A comma would cut the folder at the next start (download.ini's fields).
  for (const std::string folder :
       {"", "C:\\a|b", "a>b", "a<b", "a*", "a?", "a\"b", "a\r\nb", "a\tb", "D:\\a,b", "D:\\\xB0", "\x81\x09"}) {
    EXPECT_FALSE(IsUsableTaskFolder(folder)) << folder;
  }
}

}  // namespace
}  // namespace qr::engine
