#include "engine/merge_script.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <vector>

#include "engine/playlist_rules.h"
#include "runtime/files.h"
#include "runtime/text.h"
#ifndef _WIN32
#include <unistd.h>
#endif

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

// Text a person may type into a task's name or folder, or into config.ini.
const std::string kHostile[] = {"&",
                                "|",
                                "%PATH%",
                                "^",
                                "\"",
                                "$(touch pwned)",
                                "`touch pwned`",
                                "; touch pwned",
                                "\ntouch pwned\n",
                                "'",
                                "'; touch pwned; '",
                                "a & touch pwned",
                                "a | touch pwned",
                                ">pwned",
                                "<in",
                                "100%",
                                "!x!",
                                "a\\b"};

// How cmd reads a batch line: one command when, outside double quotes, it
// holds no operator and every "%" is doubled (a plain "%").
bool RunsOneBatchCommand(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (c == '%') {
      if (i + 1 == line.size() || line[++i] != '%') return false;
    } else if (c == '\r' || c == '\n' || (!quoted && std::string_view("&|<>^").find(c) != std::string_view::npos)) {
      return false;
    }
  }
  return !quoted;
}

TEST(MergeScriptTest, HostileNamesAndFoldersStayDataInTheBatchFile) {
  for (const std::string& hostile : kHostile) {
    for (const bool inName : {true, false}) {
      const std::string folder = inName ? "D:\\v" : "D:\\v" + hostile;
      const std::string name = inName ? "n" + hostile : "movie";
      const std::string script = BatchMergeScript(folder, name, "C:\\q");
      // Nothing can quote a line end or a double quote: no script at all.
      if (hostile.find_first_of("\"\n") != std::string::npos) {
        EXPECT_EQ(script, "") << hostile;
        continue;
      }
      const std::vector<std::string> lines = text::Split(script, "\r\n");
      ASSERT_EQ(lines.size(), 3u) << hostile;
      EXPECT_EQ(lines[0], "D:");
      EXPECT_TRUE(lines[1].starts_with("cd ")) << hostile;
      EXPECT_TRUE(lines[2].starts_with("\"C:\\q\\ffmpeg.exe\" ")) << hostile;
      for (const std::string& line : lines) EXPECT_TRUE(RunsOneBatchCommand(line)) << hostile << ": " << line;
    }
  }
}

TEST(MergeScriptTest, AShutdownDelayIsDigitsOrNothingRuns) {
  for (const std::string& hostile : kHostile) {
    EXPECT_FALSE(IsUsableShutdownDelay(hostile)) << hostile;
    EXPECT_FALSE(IsUsableShutdownDelay("60" + hostile)) << hostile;
  }
  EXPECT_TRUE(IsUsableShutdownDelay("60"));
}

#ifndef _WIN32
// The shell script run for real, with a fake ffmpeg that records how it was
// called: one call, in the task's folder, the video's path as its last
// argument, and no file made by a command hidden in the text.
TEST(MergeScriptTest, HostileNamesAndFoldersStayDataInTheShellScript) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("qr-merge-hostile-" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root);
  const fs::path fakeFfmpeg = root / "fake ffmpeg";
  files::WriteFileBytes(fakeFfmpeg.string(),
                        "#!/bin/sh\necho \"$#\" >>calls\nfor a; do last=$a; done\nprintf %s \"$last\" >last\n");
  fs::permissions(fakeFfmpeg, fs::perms::owner_all);
  int index = 0;
  for (const std::string& hostile : kHostile) {
    for (const bool inName : {true, false}) {
      const fs::path run = root / std::to_string(++index);
      const std::string folder = (run / (inName ? "v" : "v" + hostile)).string();
      const std::string name = inName ? "n" + hostile : "movie";
      const std::string temp = folder + "/" + name;
      fs::create_directories(temp);
      files::WriteFileBytes((run / "merge.sh").string(), ShellMergeScript(folder, name, fakeFfmpeg.string()));
      const std::string command = "cd '" + run.string() + "' && /bin/sh merge.sh >/dev/null 2>&1";
      EXPECT_EQ(std::system(command.c_str()), 0) << hostile;
      // 11 arguments of the merge and the video.
      EXPECT_EQ(files::ReadFileBytes(temp + "/calls"), "12\n") << hostile;
      EXPECT_EQ(files::ReadFileBytes(temp + "/last"), temp + ".mp4") << hostile;
    }
  }
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    EXPECT_NE(entry.path().filename(), "pwned") << entry.path();
  }
  EXPECT_FALSE(fs::exists("pwned"));
  fs::remove_all(root);
}
#endif

}  // namespace
}  // namespace qr::engine
