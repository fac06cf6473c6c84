#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "pool_test_jobs.h"

namespace qr::concurrency {
namespace {

using namespace pool_test;

#if defined(__SANITIZE_THREAD__) || defined(_WIN32)
constexpr int kRounds = 60;
#else
constexpr int kRounds = 200;
#endif
constexpr int kWaiters = 3;

struct StopDuringWaitCase {
  const char* name;
  bool paused;
  std::function<void(ThreadPool&)> wait;
};

// Several callers wait without limit on the pool while it stops (the window
// thread and a task worker can both do so). Every one of them must be let go,
// and the stop must not close the pool's events under a waiter: a wait on a
// closed event, or on whatever event got its handle next, could last for ever.
TEST(ThreadPoolStopWaitTest, AStopLetsEveryWaiterGo) {
  const StopDuringWaitCase cases[] = {
      {"WaitJobDone", false, [](ThreadPool& pool) { pool.WaitJobDone(); }},
      {"WaitJobDone pumping", false, [](ThreadPool& pool) { pool.WaitJobDone(-1, true); }},
      {"WaitWhilePaused", true, [](ThreadPool& pool) { pool.WaitWhilePaused(); }},
  };
  for (const StopDuringWaitCase& row : cases) {
    // Shared with the waiters, so that a stuck one can be left behind safely.
    auto pool = std::make_shared<ThreadPool>();
    for (int round = 0; round < kRounds; ++round) {
      ASSERT_TRUE(Eventually([&pool] { return pool->Start(2, 2); })) << row.name << " round " << round;
      if (row.paused) pool->Pause();
      auto returned = std::make_shared<std::atomic<int>>(0);
      std::vector<std::thread> waiters;
      for (int i = 0; i < kWaiters; ++i) {
        waiters.emplace_back([pool, wait = row.wait, returned] {
          wait(*pool);
          returned->fetch_add(1);
        });
      }
      // The stop lands before, at and well into the waits.
      if (round % 3 == 1) std::this_thread::yield();
      if (round % 3 == 2) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      pool->Stop(round % 2 == 0 ? StopMode::DiscardAndWait : StopMode::DiscardNoWait);
      const bool allReturned = Eventually([&returned] { return returned->load() == kWaiters; }, 5000);
      for (std::thread& waiter : waiters) allReturned ? waiter.join() : waiter.detach();
      ASSERT_TRUE(allReturned) << row.name << " round " << round << ": " << returned->load() << " of " << kWaiters
                               << " waiters returned";
    }
    EXPECT_TRUE(EventuallyStopped(*pool)) << row.name;
  }
}

}  // namespace
}  // namespace qr::concurrency
