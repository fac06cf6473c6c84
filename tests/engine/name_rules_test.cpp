#include "engine/name_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace qr::engine {
namespace {

TEST(NameRulesTest, TaskNamesMustMakeTheSameFileOnBothSystems) {
  for (const std::string name :
       {"",     ".",   "..",  " ",   ". .",  "a.",    "a ",  "a\\b",    "a/b",  "c:x",      "a*",  "a?",
        "a\"b", "a<b", "a>b", "a|b", "a\tb", "a\x7F", "CON", "nul.txt", "Com1", "LPT9.mp4", "乗\\"}) {
    EXPECT_FALSE(IsUsableTaskName(name)) << name;
  }
  // The trail bytes of 乗 and 亅 are '\' and '|'; command characters are quoted by the scripts.
  for (const std::string name : {"电影", "乗", "亅x", ".a", "a.b", "Tom & Jerry", "100%", "a^b", "CONSOLE", "COM0"}) {
    EXPECT_TRUE(IsUsableTaskName(name)) << name;
  }
}

}  // namespace
}  // namespace qr::engine
