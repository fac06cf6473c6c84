// The Linux desktop program as real processes, on Qt's offscreen platform,
// with message boxes answering themselves (QUILLREEL_AUTO_ANSWER).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "runtime/codepage.h"
#include "runtime/files.h"

extern char** environ;

namespace qr::ui::qt {
namespace {

namespace fs = std::filesystem;

class DesktopProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("quillreel-desktop-" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "run");
  }
  void TearDown() override {
    for (pid_t pid : running_) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    fs::remove_all(folder_);
  }

  // Starts the program with its own program and runtime folders; its
  // standard error goes to <folder>/<name>.err.
  pid_t Start(const std::string& name, std::string program = QUILLREEL_DESKTOP_PROGRAM) {
    std::vector<std::string> environment = {"QT_QPA_PLATFORM=offscreen", "QUILLREEL_AUTO_ANSWER=1",
                                            "QUILLREEL_PROGRAM_FOLDER=" + folder_.string(),
                                            "QUILLREEL_RUNTIME_FOLDER=" + (folder_ / "run").string()};
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string text = *entry;
      if (text.rfind("QT_QPA_PLATFORM=", 0) != 0 && text.rfind("QUILLREEL_", 0) != 0) environment.push_back(text);
    }
    std::vector<char*> envp;
    for (auto& text : environment) envp.push_back(text.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string errPath = (folder_ / (name + ".err")).string();
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char* argv[] = {program.data(), nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return -1;
    running_.push_back(pid);
    return pid;
  }

  // The exit code, or -1 when the process is still running after `limit`.
  int WaitForExit(pid_t pid, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        std::erase(running_, pid);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < end);
    return -1;
  }

  // Waits until the first copy listens for raise requests.
  bool WaitUntilRunning() {
    for (int i = 0; i < 250; ++i) {
      for (const auto& entry : fs::directory_iterator(folder_ / "run")) {
        if (entry.path().extension() == ".socket") return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  std::string Read(const std::string& name) const { return qr::files::ReadFileBytes((folder_ / name).string()); }
  void Write(const std::string& name, const std::string& bytes) const {
    qr::files::WriteFileBytes((folder_ / name).string(), bytes);
  }

  fs::path folder_;
  std::vector<pid_t> running_;
};

TEST_F(DesktopProgramTest, SecondCopyIsRefusedAndLeavesTheQueueFileAlone) {
  const std::string queue = "电影,http://a/1.m3u8,/tmp/下载,下载完成\r\n";
  Write("download.ini", queue);
  const pid_t first = Start("first");
  ASSERT_GT(first, 0);
  ASSERT_TRUE(WaitUntilRunning());

  const pid_t second = Start("second");
  ASSERT_GT(second, 0);
  EXPECT_EQ(WaitForExit(second, std::chrono::seconds(20)), 0);
  const std::string notice = qr::codepage::GbkToUtf8("message 程序已经运行!|友情提醒:|");
  EXPECT_NE(Read("second.err").find(notice), std::string::npos) << Read("second.err");
  // The first copy runs on, and nobody has written the queue file yet.
  EXPECT_EQ(WaitForExit(first, std::chrono::milliseconds(200)), -1);
  EXPECT_EQ(Read("download.ini"), queue);
}

// The program people run ignores the variable: its box waits for a person.
TEST_F(DesktopProgramTest, TheReleaseProgramIgnoresTheAutoAnswerVariable) {
  const pid_t first = Start("first");
  ASSERT_GT(first, 0);
  ASSERT_TRUE(WaitUntilRunning());
  const pid_t second = Start("second", QUILLREEL_RELEASE_PROGRAM);
  ASSERT_GT(second, 0);
  EXPECT_EQ(WaitForExit(second, std::chrono::milliseconds(1500)), -1);
  EXPECT_EQ(Read("second.err").find("message "), std::string::npos) << Read("second.err");
}

TEST_F(DesktopProgramTest, TerminationSignalEndsThroughTheExitCommandAndSavesTheQueue) {
  Write("download.ini", "电影,http://a/1.m3u8,/tmp/下载,下载完成\r\n第二集,http://a/2.m3u8,/tmp/下载\r\n");
  const pid_t program = Start("program");
  ASSERT_GT(program, 0);
  ASSERT_TRUE(WaitUntilRunning());
  kill(program, SIGTERM);
  EXPECT_EQ(WaitForExit(program, std::chrono::seconds(20)), 0);
  // Saved as every exit saves it: each row queued again; the short line was skipped at load.
  EXPECT_EQ(Read("download.ini"), "电影,http://a/1.m3u8,/tmp/下载,排队等待\r\n");
}

}  // namespace
}  // namespace qr::ui::qt
