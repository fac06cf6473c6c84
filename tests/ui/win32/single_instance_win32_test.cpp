// The single-instance rule between real copies of the Windows program, and
// the process and window search it rests on.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/menu_ids.h"
#include "app/process_search_win32.h"
#include "app/single_instance.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "win32_test_support.h"

namespace qr::testing {
namespace {

// The program beside the tests' build folder (QR_PROGRAM_FROM_TESTS is relative to it).
std::filesystem::path ProgramPath() {
  wchar_t self[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  return (std::filesystem::path(std::wstring(self, length)).parent_path() / QR_PROGRAM_FROM_TESTS).lexically_normal();
}

// A copy of the program in its own process, with message boxes answered
// automatically and written to a file.
class ProgramCopy {
 public:
  ProgramCopy(const std::filesystem::path& program, const std::filesystem::path& programFolder,
              const std::filesystem::path& messages) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    output_ = CreateFileW(messages.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    SetEnvironmentVariableW(L"QUILLREEL_PROGRAM_FOLDER", programFolder.c_str());
    SetEnvironmentVariableW(L"QUILLREEL_AUTO_ANSWER", L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output_;
    startup.hStdError = output_;
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    started_ = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                              &startup, &process_) != FALSE;
    SetEnvironmentVariableW(L"QUILLREEL_AUTO_ANSWER", nullptr);
    SetEnvironmentVariableW(L"QUILLREEL_PROGRAM_FOLDER", nullptr);
  }
  ~ProgramCopy() {
    if (started_) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 9);
      WaitForSingleObject(process_.hProcess, 5000);
      CloseHandle(process_.hThread);
      CloseHandle(process_.hProcess);
    }
    if (output_ != INVALID_HANDLE_VALUE) CloseHandle(output_);
  }
  ProgramCopy(const ProgramCopy&) = delete;
  ProgramCopy& operator=(const ProgramCopy&) = delete;

  bool Started() const { return started_; }
  DWORD Id() const { return process_.dwProcessId; }
  bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
  // The exit code, or -1 when the copy still runs after `limitMs`.
  long WaitForExit(DWORD limitMs) const {
    if (WaitForSingleObject(process_.hProcess, limitMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  HANDLE output_ = INVALID_HANDLE_VALUE;
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

class SingleInstanceWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() / (std::string("qr-win32-") + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    program_ = ProgramPath();
    ASSERT_TRUE(std::filesystem::exists(program_)) << program_.string();
    // A queue that a save would rewrite: the loader drops the fifth field
    // and every state is saved as queued.
    queue_ = "电影一,http://127.0.0.1/a.m3u8,D:\\视频,正在下载,多余\r\n";
    Write("download.ini", queue_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void Write(const std::string& name, const std::string& bytes) const {
    ASSERT_TRUE(qr::files::WriteFileBytes(qr::files::FromNativePath(folder_ / name), bytes));
  }
  std::string Read(const std::string& name) const {
    return qr::files::ReadFileBytes(qr::files::FromNativePath(folder_ / name));
  }
  std::unique_ptr<ProgramCopy> Start(const std::string& messages) const {
    auto copy = std::make_unique<ProgramCopy>(program_, folder_, folder_ / messages);
    EXPECT_TRUE(copy->Started());
    return copy;
  }
  static HWND WindowOf(const ProgramCopy& copy, DWORD limitMs = 30000) {
    return qr::app::FindProcessWindow(copy.Id(), limitMs);
  }
  static bool IsTopmost(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

  std::filesystem::path folder_;
  std::filesystem::path program_;
  std::string queue_;
};

TEST_F(SingleInstanceWin32Test, ASecondCopyIsRefusedRaisesTheFirstAndLeavesTheQueueFileAlone) {
  auto first = Start("first.txt");
  HWND window = WindowOf(*first);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsTopmost(window));
  // Minimised first: the second copy restores it as well.
  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(window) != FALSE; }));

  auto second = Start("second.txt");
  EXPECT_EQ(second->WaitForExit(30000), 0);
  // The messages file is UTF-8.
  const int style = qr::ui::message_box::kIconInformation | qr::ui::message_box::kTaskModal;
  EXPECT_EQ(Read("second.txt"),
            qr::codepage::GbkToUtf8("message 程序已经运行!|友情提醒:|") + std::to_string(style) + "\n");
  EXPECT_TRUE(first->Running());
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(window) && IsTopmost(window); }));
  EXPECT_EQ(Read("download.ini"), queue_);

  // The first copy leaves through its exit command and saves the queue.
  PostMessageW(window, WM_COMMAND, qr::app::kMenuExit, 0);
  EXPECT_EQ(first->WaitForExit(30000), 0);
  EXPECT_EQ(Read("download.ini"), "电影一,http://127.0.0.1/a.m3u8,D:\\视频,排队等待\r\n");
  EXPECT_EQ(Read("first.txt"), "");
}

TEST_F(SingleInstanceWin32Test, AFirstCopyHiddenInTheTrayIsNotRaised) {
  auto first = Start("first.txt");
  HWND window = WindowOf(*first);
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_HIDE);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); }));

  auto second = Start("second.txt");
  EXPECT_EQ(second->WaitForExit(30000), 0);
  EXPECT_NE(Read("second.txt").find(qr::codepage::GbkToUtf8("程序已经运行!")), std::string::npos);
  EXPECT_TRUE(first->Running());
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(IsTopmost(window));
}

TEST_F(SingleInstanceWin32Test, ProcessSearchMatchesTheNameWithoutLetterCaseAndSkipsTheGivenProcess) {
  auto copy = Start("copy.txt");
  ASSERT_NE(WindowOf(*copy), nullptr);
  std::wstring name = program_.filename().wstring();
  EXPECT_EQ(qr::app::FindProcessByName(name, false), copy->Id());
  for (auto& letter : name) letter = static_cast<wchar_t>(towupper(letter));
  EXPECT_EQ(qr::app::FindProcessByName(name, false), copy->Id());
  EXPECT_EQ(qr::app::FindProcessByName(name, true), 0u);
  EXPECT_EQ(qr::app::FindProcessByName(program_.filename().wstring(), false, copy->Id()), 0u);
  // This test program itself is passed over by default.
  EXPECT_EQ(qr::app::FindProcessByName(qr::app::OwnExecutableName(), false), 0u);
}

TEST_F(SingleInstanceWin32Test, WindowSearchGivesUpAfterItsTimeLimit) {
  // No visible window belongs to a process id that does not exist.
  const auto start = qr::concurrency::MillisecondClock();
  EXPECT_EQ(qr::app::FindProcessWindow(0xFFFFFFF0u, 100), nullptr);
  const auto elapsed = qr::concurrency::MillisecondClock() - start;
  // It searched for about the limit (the tick count it measures by is coarse), not forever.
  EXPECT_GE(elapsed, 50);
  EXPECT_LT(elapsed, 5000);
}

TEST(NamedEventInstanceTest, TheMarkerHasOneHolderAtATime) {
  const std::string name = "Quillreel-test-marker-" + std::to_string(GetCurrentProcessId());
  auto first = qr::app::MakeSingleInstance(name);
  auto second = qr::app::MakeSingleInstance(name);
  EXPECT_TRUE(first->Claim({}));
  EXPECT_FALSE(second->Claim({}));
  EXPECT_TRUE(qr::app::MakeSingleInstance(name + "-other")->Claim({}));
}

TEST(NamedEventInstanceTest, AMarkerThatMayNotBeOpenedIsTakenAllTheSame) {
  // A marker made by a copy with more rights: everyone may only wait on it.
  const std::string name = "Quillreel-test-guarded-" + std::to_string(GetCurrentProcessId());
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;0x00100000;;;WD)", SDDL_REVISION_1,
                                                                   &descriptor, nullptr));
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  HANDLE guarded = CreateEventA(&attributes, FALSE, FALSE, name.c_str());
  LocalFree(descriptor);
  ASSERT_NE(guarded, nullptr);
  if (HANDLE probe = OpenEventA(EVENT_ALL_ACCESS, FALSE, name.c_str()); probe != nullptr) {
    CloseHandle(probe);
    CloseHandle(guarded);
    GTEST_SKIP() << "this system does not enforce the event's access rights";
  }
  EXPECT_FALSE(qr::app::MakeSingleInstance(name)->Claim({}));
  CloseHandle(guarded);
}

}  // namespace
}  // namespace qr::testing
