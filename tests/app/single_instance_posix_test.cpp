#include "app/single_instance.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <chrono>
#include <memory>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

extern char** environ;

namespace qr::app {
namespace {

using namespace std::chrono_literals;

class SingleInstancePosixTest : public qr::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    // A short folder of its own: a socket path holds at most 107 bytes.
    char pattern[] = "/tmp/qr-run-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    runtime_ = pattern;
  }
  void TearDown() override {
    qr::files::DeleteFolderTree(runtime_);
    ProgramFolderTest::TearDown();
  }
  std::string runtime_;
};

TEST_F(SingleInstancePosixTest, OnlyOneHolderAtATimeAndTheHolderHearsRaiseRequests) {
  std::atomic<int> raised{0};
  auto first = MakeSingleInstance(kInstanceName, runtime_);
  ASSERT_TRUE(first->Claim([&raised] { ++raised; }));
  auto second = MakeSingleInstance(kInstanceName, runtime_);
  EXPECT_FALSE(second->Claim({}));
  EXPECT_TRUE(second->AskFirstCopyToRaise());
  for (int i = 0; i < 200 && raised == 0; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(raised, 1);

  first.reset();  // the marker goes with its holder
  auto third = MakeSingleInstance(kInstanceName, runtime_);
  EXPECT_TRUE(third->Claim({}));
}

TEST_F(SingleInstancePosixTest, NobodyToRaiseWhenNoCopyRuns) {
  auto lonely = MakeSingleInstance(kInstanceName, runtime_);
  EXPECT_FALSE(lonely->AskFirstCopyToRaise());
}

// A child process with its standard output on a pipe.
class Probe {
 public:
  Probe(const std::string& runtime, const std::string& program) {
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const std::string path = QR_SINGLE_INSTANCE_PROBE;
    char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>(runtime.c_str()),
                    const_cast<char*>(program.c_str()), nullptr};
    if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out_ = fds[0];
  }
  ~Probe() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
    if (out_ >= 0) close(out_);
  }
  // Reads output until it holds `text` or the output ends.
  bool ReadUntil(const std::string& text) {
    char buffer[256];
    while (output_.find(text) == std::string::npos) {
      const ssize_t count = read(out_, buffer, sizeof buffer);
      if (count <= 0) return false;
      output_.append(buffer, static_cast<std::size_t>(count));
    }
    return true;
  }
  int Wait() {
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // The exit code, or -1 when the child has not ended within `limitMs`.
  int WaitFor(int limitMs) {
    for (int waited = 0; waited <= limitMs; waited += 10) {
      int status = 0;
      if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(10ms);
    }
    return -1;
  }
  void Signal(int signal) { kill(pid_, signal); }
  const std::string& Output() const { return output_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
};

TEST_F(SingleInstancePosixTest, SecondProcessTellsTheUserRaisesTheFirstAndLeavesTheQueueFileAlone) {
  // A save would rewrite this file without its blank line.
  const std::string queue = "a,http://a/x.m3u8,/tmp/v,排队等待\r\n\r\n";
  Write("download.ini", queue);

  Probe first(runtime_, folder_);
  ASSERT_TRUE(first.ReadUntil("ready\n")) << first.Output();
  Probe second(runtime_, folder_);
  ASSERT_TRUE(second.ReadUntil("\n")) << second.Output();
  EXPECT_EQ(second.Wait(), 0);
  const std::string expected = reinterpret_cast<const char*>(u8"message 程序已经运行!|友情提醒:|");
  EXPECT_EQ(second.Output().rfind(expected, 0), 0u) << second.Output();
  EXPECT_EQ(std::stoi(second.Output().substr(expected.size())) & 0xF0, 64);

  ASSERT_TRUE(first.ReadUntil("raised 1\n")) << first.Output();
  EXPECT_EQ(first.Wait(), 0);
  EXPECT_EQ(Read("download.ini"), queue);
}

// A first copy that hangs (here: suspended) never answers; more later copies
// than its listen backlog holds must still all end at once, with status 0.
TEST_F(SingleInstancePosixTest, LaterCopiesEndPromptlyWhileTheFirstIsSuspended) {
  Probe first(runtime_, folder_);
  ASSERT_TRUE(first.ReadUntil("ready\n")) << first.Output();
  first.Signal(SIGSTOP);
  std::vector<std::unique_ptr<Probe>> later;
  for (int copy = 0; copy < 7; ++copy) later.push_back(std::make_unique<Probe>(runtime_, folder_));
  for (std::size_t copy = 0; copy < later.size(); ++copy) {
    EXPECT_EQ(later[copy]->WaitFor(3000), 0) << "copy " << copy + 2 << " did not end in time";
  }
  first.Signal(SIGCONT);
}

}  // namespace
}  // namespace qr::app
