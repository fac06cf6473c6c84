#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "concurrency/completion_queue.h"
#include "concurrency/pool_thread.h"
#include "concurrency/pumping_wait.h"
#include "concurrency/sync_event.h"
#include "concurrency/wait_time.h"

namespace qr::concurrency {
namespace {

TEST(SyncEventTest, AutomaticResetReleasesOneWaitManualResetAll) {
  SyncEvent automatic(false);
  ASSERT_TRUE(automatic.Open(true));
  EXPECT_EQ(automatic.Wait(0), WaitResult::Signalled);
  EXPECT_EQ(automatic.Wait(0), WaitResult::TimedOut);  // cleared by the first wait
  automatic.Set();
  automatic.Set();
  EXPECT_EQ(automatic.Wait(0), WaitResult::Signalled);
  EXPECT_EQ(automatic.Wait(0), WaitResult::TimedOut);

  SyncEvent manual(true);
  ASSERT_TRUE(manual.Open(false));
  EXPECT_EQ(manual.Wait(0), WaitResult::TimedOut);
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i) {
    waiters.emplace_back([&] {
      if (manual.Wait(kNoTimeLimit) == WaitResult::Signalled) released.fetch_add(1);
    });
  }
  manual.Set();
  for (auto& waiter : waiters) waiter.join();
  EXPECT_EQ(released, 3);
  EXPECT_EQ(manual.Wait(0), WaitResult::Signalled);  // stays set
  manual.Reset();
  EXPECT_EQ(manual.Wait(0), WaitResult::TimedOut);
}

TEST(SyncEventTest, TimedWaitRunsOutAndClosingReleasesWaiters) {
  SyncEvent event(false);
  EXPECT_EQ(event.Wait(0), WaitResult::Failed);  // never opened
  ASSERT_TRUE(event.Open(false));
  const std::int64_t began = MillisecondClock();
  EXPECT_EQ(event.Wait(60), WaitResult::TimedOut);
  EXPECT_GE(MillisecondClock() - began, 55);

  std::atomic<bool> returned{false};
  std::thread waiter([&] {
    event.Wait(kNoTimeLimit);
    returned = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(event.Close());
  waiter.join();
  EXPECT_TRUE(returned);
  EXPECT_FALSE(event.Close());  // closed once only
  EXPECT_EQ(event.Wait(kNoTimeLimit), WaitResult::Failed);
  event.Set();  // harmless on a closed event
  ASSERT_TRUE(event.Open(false));
  EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
}

TEST(CompletionQueueTest, FirstInFirstOutWithTimedTake) {
  CompletionQueue queue;
  CompletionPacket packet;
  EXPECT_FALSE(queue.Post({1, 1, 1}));
  ASSERT_TRUE(queue.Open());
  EXPECT_EQ(queue.Take(packet, 0), TakeResult::TimedOut);
  const std::int64_t began = MillisecondClock();
  EXPECT_EQ(queue.Take(packet, 60), TakeResult::TimedOut);
  EXPECT_GE(MillisecondClock() - began, 55);

  const std::uintptr_t bigKey = sizeof(std::uintptr_t) > 4 ? static_cast<std::uintptr_t>(-3) : 0xFFFFFFFDu;
  for (std::uint32_t i = 1; i <= 3; ++i) ASSERT_TRUE(queue.Post({0xFFFFFFF0u + i, bigKey - i, 0x1000u * i}));
  for (std::uint32_t i = 1; i <= 3; ++i) {
    ASSERT_EQ(queue.Take(packet, kNoTimeLimit), TakeResult::Taken);
    EXPECT_EQ(packet.argument1, 0xFFFFFFF0u + i);
    EXPECT_EQ(packet.argument2, bigKey - i);
    EXPECT_EQ(packet.routine, 0x1000u * i);
  }
  ASSERT_TRUE(queue.Close());
}

TEST(CompletionQueueTest, ClosingDropsPacketsAndReleasesTakers) {
  CompletionQueue queue;
  ASSERT_TRUE(queue.Open());
#ifndef _WIN32
  // A closed port lets its waiters go on Windows too, but wine's does not;
  // the pool never closes a queue anybody still waits on.
  std::atomic<int> failed{0};
  std::vector<std::thread> takers;
  for (int i = 0; i < 2; ++i) {
    takers.emplace_back([&] {
      CompletionPacket packet;
      if (queue.Take(packet, kNoTimeLimit) == TakeResult::Failed) failed.fetch_add(1);
    });
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(queue.Close());
  for (auto& taker : takers) taker.join();
  EXPECT_EQ(failed, 2);
#else
  EXPECT_TRUE(queue.Close());
#endif
  EXPECT_FALSE(queue.Close());

  ASSERT_TRUE(queue.Open());
  ASSERT_TRUE(queue.Post({1, 2, 3}));
  ASSERT_TRUE(queue.Close());
  EXPECT_FALSE(queue.Post({1, 2, 3}));
  ASSERT_TRUE(queue.Open());  // a new queue starts empty
  CompletionPacket packet;
  EXPECT_EQ(queue.Take(packet, 0), TakeResult::TimedOut);
}

TEST(PoolThreadTest, RunsTheBodyOnAStackOfTheGivenSizeAndReportsItsEnd) {
  for (const std::uint32_t stackSize : {0u, 8192u, 1u << 20}) {
    std::atomic<bool> go{false};
    std::atomic<bool> ran{false};
    auto thread = PoolThread::Start(
        [&] {
          while (!go) std::this_thread::sleep_for(std::chrono::milliseconds(1));
          volatile char scratch[4096] = {};  // a small stack must still hold a job's locals
          scratch[0] = 1;
          ran = scratch[0] == 1;
        },
        stackSize);
    ASSERT_NE(thread, nullptr);
    EXPECT_FALSE(thread->WaitForEnd(20));
    go = true;
    EXPECT_TRUE(thread->WaitForEnd(kNoTimeLimit));
    EXPECT_TRUE(ran);
  }
  // A body's captures are gone once its end is reported.
  auto token = std::make_shared<int>(1);
  auto thread = PoolThread::Start([token] {}, 0);
  std::weak_ptr<int> watch = token;
  token.reset();
  ASSERT_TRUE(thread->WaitForEnd(kNoTimeLimit));
  EXPECT_TRUE(watch.expired());
}

TEST(WaitTimeTest, NegativeMeansInfiniteAndLongWaitsStayFinite) {
  EXPECT_EQ(ToWaitMilliseconds(-1), kInfiniteWait);
  EXPECT_EQ(ToWaitMilliseconds(-50), kInfiniteWait);
  EXPECT_EQ(ToWaitMilliseconds(0), 0u);
  EXPECT_EQ(ToWaitMilliseconds(1500), 1500u);
  EXPECT_EQ(ToWaitMilliseconds(0xFFFFFFFFll), kInfiniteWait - 1);
  EXPECT_EQ(ToWaitMilliseconds(0x1FFFFFFFFll), kInfiniteWait - 1);
}

}  // namespace
}  // namespace qr::concurrency
