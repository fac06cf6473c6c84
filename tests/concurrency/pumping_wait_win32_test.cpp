#include <windows.h>

#include <gtest/gtest.h>

#include "concurrency/pumping_wait.h"

namespace qr::concurrency {
namespace {

std::int64_t ThreadCpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto toMs = [](const FILETIME& time) {
    return ((static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000;
  };
  return toMs(kernel) + toMs(user);
}

// A quit request that is waiting when the wait begins must neither be lost
// nor turn the wait into a busy loop.
TEST(PumpingWaitWin32, HoldsAPendingQuitRequestWithoutSpinning) {
  PostQuitMessage(7);
  const std::int64_t cpuBefore = ThreadCpuMilliseconds();
  const std::int64_t start = MillisecondClock();
  PumpingWait(300);
  const std::int64_t elapsed = MillisecondClock() - start;
  const std::int64_t cpu = ThreadCpuMilliseconds() - cpuBefore;
  EXPECT_GE(elapsed, 290);
  EXPECT_LT(cpu, 150);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
}

TEST(PumpingWaitWin32, ProcessPendingMessagesLeavesTheQuitRequestQueued) {
  PostQuitMessage(3);
  ProcessPendingMessages();
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 3u);
}

}  // namespace
}  // namespace qr::concurrency
