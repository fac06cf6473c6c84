#include "runtime/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "runtime/files.h"
#include "support/temp_folder.h"

namespace qr::process {
namespace {

// Command lines for the system's own command interpreter.
#ifdef _WIN32
constexpr const char* kExitSeven = "cmd.exe /c exit 7";
std::string CreateFileCommand(const std::string& path) { return "cmd.exe /c echo x> \"" + path + "\""; }
#else
constexpr const char* kExitSeven = "exit 7";
std::string CreateFileCommand(const std::string& path) { return "echo x > '" + path + "'"; }
#endif

class ProcessTest : public qr::testing::TempFolderTest {
 protected:
  static bool AppearsWithin(const std::string& path, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!files::FileExists(path)) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }
};

TEST_F(ProcessTest, WaitedRunGivesTheExitCode) {
  for (WindowMode mode : {WindowMode::kHidden, WindowMode::kShown}) {
    EXPECT_EQ(SystemProcessLauncher().RunAndWait(kExitSeven, mode), 7);
  }
}

TEST_F(ProcessTest, ChineseTextOnTheCommandLineReachesTheChild) {
  const std::string path = files::JoinPath(folder_, "视频.txt");
  EXPECT_EQ(SystemProcessLauncher().RunAndWait(CreateFileCommand(path), WindowMode::kHidden), 0);
  EXPECT_TRUE(std::filesystem::exists(files::ToNativePath(folder_) / std::filesystem::path(u8"视频.txt")));
}

TEST_F(ProcessTest, DetachedRunReturnsAtOnceAndTheChildRuns) {
  const std::string path = files::JoinPath(folder_, "detached.txt");
  EXPECT_TRUE(SystemProcessLauncher().RunDetached(CreateFileCommand(path), WindowMode::kHidden));
  EXPECT_TRUE(AppearsWithin(path, std::chrono::seconds(10)));
}

// A batch file named as the whole command line, in a folder whose name holds a
// space and Chinese text, unquoted.
TEST_F(ProcessTest, BatchFileGivenAsTheWholeCommandLineRuns) {
#ifdef _WIN32
  const std::string folder = files::JoinPath(folder_, "合并 目录");
  ASSERT_TRUE(files::EnsureFolder(folder));
  const std::string batch = files::JoinPath(folder, "ffmpeg.bat");
  ASSERT_TRUE(files::WriteFileBytes(batch, "@echo off\r\necho x> \"" + folder + "\\done.txt\"\r\nexit /b 3"));
  EXPECT_EQ(SystemProcessLauncher().RunAndWait(batch, WindowMode::kHidden), 3);
  EXPECT_TRUE(files::FileExists(files::JoinPath(folder, "done.txt")));
#else
  GTEST_SKIP() << "batch files exist on Windows only";
#endif
}

TEST_F(ProcessTest, ProgramThatCannotStartGivesNoExitCode) {
  const std::string missing = files::JoinPath(folder_, "no-such-program.exe");
  EXPECT_EQ(SystemProcessLauncher().RunAndWait(missing, WindowMode::kHidden), std::nullopt);
#ifdef _WIN32
  EXPECT_FALSE(SystemProcessLauncher().RunDetached(missing, WindowMode::kHidden));
#endif
}

}  // namespace
}  // namespace qr::process
