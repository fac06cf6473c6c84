#include "engine/merge_script.h"

#include <gtest/gtest.h>

namespace qr::engine {
namespace {

const std::string kArguments = " -threads 0 -allowed_extensions ALL -i index.m3u8 -c copy -y -bsf:a aac_adtstoasc ";

TEST(MergeScriptTest, BatchFileLinesAndQuoting) {
  struct Case {
    std::string folder, name, script;
  };
  const Case cases[] = {
      {"D:\\Videos", "movie",
       "D:\r\ncd D:\\Videos\\movie\r\n\"C:\\Tools\\App\\ffmpeg.exe\"" + kArguments + "\"D:\\Videos\\movie.mp4\""},
      {"\\\\server\\share\\v", "movie",
       "\r\ncd \\\\server\\share\\v\\movie\r\n\"C:\\Tools\\App\\ffmpeg.exe\"" + kArguments +
           "\"\\\\server\\share\\v\\movie.mp4\""},
      {"D:\\Videos", "Tom & Jerry",
       "D:\r\ncd \"D:\\Videos\\Tom & Jerry\"\r\n\"C:\\Tools\\App\\ffmpeg.exe\"" + kArguments +
           "\"D:\\Videos\\Tom & Jerry.mp4\""},
      {"D:\\100%", "a^b",
       "D:\r\ncd \"D:\\100%%\\a^b\"\r\n\"C:\\Tools\\App\\ffmpeg.exe\"" + kArguments + "\"D:\\100%%\\a^b.mp4\""},
      // A relative folder has no drive: its first part must not become a command.
      {"calc\\v", "%PATH%",
       "\r\ncd calc\\v\\%%PATH%%\r\n\"C:\\Tools\\App\\ffmpeg.exe\"" + kArguments + "\"calc\\v\\%%PATH%%.mp4\""},
      {"D:\\v", "a\r\ncalc", ""},
      {"D:\\v", "a\" & calc & \"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BatchMergeScript(c.folder, c.name, "C:\\Tools\\App"), c.script) << c.name;
  // The trail byte of 亅 is '|' but no operator.
  EXPECT_EQ(BatchMergeScript("D:\\v", "亅", "C:\\q").substr(0, 12), "D:\r\ncd D:\\v\\");
}

TEST(MergeScriptTest, ShellScriptQuotesEveryPathAndWritesUtf8) {
  EXPECT_EQ(ShellMergeScript("/v/", "it's $HOME `x` \"q\"; a & b", "/opt/q/ffmpeg"),
            "cd '/v/it'\\''s $HOME `x` \"q\"; a & b' || exit 1\n'/opt/q/ffmpeg'" + kArguments +
                "'/v/it'\\''s $HOME `x` \"q\"; a & b.mp4'\n");
  // 电影 in UTF-8 is E7 94 B5 E5 BD B1. 影 alone is three bytes, which a two-byte
  // reading of the UTF-8 text would pair with the quote after it: it is still escaped.
  const std::string folder = "/v/\xE7\x94\xB5\xE5\xBD\xB1/\xE5\xBD\xB1'\\''";
  EXPECT_EQ(ShellMergeScript("/v/电影", "影'", "ffmpeg"),
            "cd '" + folder + "' || exit 1\n'ffmpeg'" + kArguments + "'" + folder + ".mp4'\n");
}

}  // namespace
}  // namespace qr::engine
