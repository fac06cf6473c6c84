#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "pool_test_jobs.h"

namespace qr::concurrency {
namespace {

using namespace pool_test;

// Wine and ThreadSanitizer are slower: fewer jobs there.
#if defined(__SANITIZE_THREAD__)
constexpr int kManyJobs = 20000;
constexpr int kCycles = 100;
#elif defined(_WIN32)
constexpr int kManyJobs = 50000;
constexpr int kCycles = 200;
#else
constexpr int kManyJobs = 100000;
constexpr int kCycles = 200;
#endif
constexpr int kJobsPerCycle = 150;

std::unique_ptr<std::atomic<std::uint8_t>[]> timesRun;

void MarkJob(std::int32_t job, std::int32_t) { timesRun[job].fetch_add(1); }

void ClearMarks(int count) {
  timesRun = std::make_unique<std::atomic<std::uint8_t>[]>(count);
  for (int i = 0; i < count; ++i) timesRun[i] = 0;
}

TEST(ThreadPoolStressTest, ManyJobsOnTwentyThreadsRunExactlyOnce) {
  ClearMarks(kManyJobs);
  ThreadPool pool;
  ASSERT_TRUE(pool.Start(20, 20));
  // Two posters at once, as the task worker and re-posting jobs would.
  std::thread second([&pool] {
    for (int job = 1; job < kManyJobs; job += 2) pool.Post(MarkJob, job);
  });
  for (int job = 0; job < kManyJobs; job += 2) pool.Post(MarkJob, job);
  second.join();
  ASSERT_TRUE(pool.Stop(StopMode::FinishAndWait));
  int wrong = 0;
  for (int job = 0; job < kManyJobs; ++job) wrong += timesRun[job] != 1 ? 1 : 0;
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(pool.QueuedJobs(), 0);
  EXPECT_EQ(pool.LiveThreads(), 0);
}

TEST(ThreadPoolStressTest, StartStopCyclesInEveryModeLoseAndDoubleNothing) {
  ClearMarks(kCycles * kJobsPerCycle);
  std::vector<std::uint8_t> accepted(kCycles * kJobsPerCycle, 0);
  ThreadPool pool;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    const auto mode = static_cast<StopMode>(cycle % 4);
    // After a no-wait stop, start as soon as the last worker has gone.
    ASSERT_TRUE(Eventually([&pool] { return pool.Start(3, 8, 100); }, 10000)) << cycle;
    const int first = cycle * kJobsPerCycle;
    std::thread poster([&] {
      for (int job = first + 1; job < first + kJobsPerCycle; job += 2) accepted[job] = pool.Post(MarkJob, job);
    });
    for (int job = first; job < first + kJobsPerCycle; job += 2) accepted[job] = pool.Post(MarkJob, job);
    ASSERT_TRUE(pool.Stop(mode)) << cycle;
    poster.join();
  }
  ASSERT_TRUE(EventuallyStopped(pool, 10000));
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    const bool finishing = cycle % 4 == 1 || cycle % 4 == 3;
    int wrong = 0;
    for (int job = cycle * kJobsPerCycle; job < (cycle + 1) * kJobsPerCycle; ++job) {
      const int runs = timesRun[job];
      if (runs > 1 || (finishing && runs != accepted[job]) || (!accepted[job] && runs != 0)) ++wrong;
    }
    EXPECT_EQ(wrong, 0) << "cycle " << cycle;
  }
}

// A pause that checked "running" just before a stop opened the run gate must
// not close the gate again behind the stop: the workers would wait on it for
// ever and the pool would stay in Stopping.
TEST(ThreadPoolStressTest, StopWinsOverPauseRacingIt) {
  ThreadPool pool;
  std::atomic<bool> done{false};
  // Pausing without resuming keeps a pause underway most of the time while
  // the pool runs (the stop alone lets the jobs run); no pause once it is
  // stopping, so that its last worker soon finds nobody using the pool.
  auto keepPausing = [&] {
    while (!done.load()) {
      if (pool.GetState() == PoolState::Running) {
        pool.Pause();
      } else {
        std::this_thread::yield();
      }
    }
  };
  // Many more pausing threads than cores: one is often preempted inside its pause.
  std::vector<std::thread> pausers;
  for (int i = 0; i < 6; ++i) pausers.emplace_back(keepPausing);
  const std::int64_t end = MillisecondClock() + 2000;
  int round = 0;
  bool started = true;
  // A stop that does not wait makes for many rounds; the next start then
  // waits for the pool to reach Stopped, which a lost stop never does.
  for (; started && MillisecondClock() < end; ++round) {
    started = Eventually([&pool] { return pool.Start(3, 3); }, 2000);
    for (int job = 0; job < 20; ++job) pool.Post(CountJob);
    pool.Stop(StopMode::FinishNoWait);
  }
  done = true;
  for (std::thread& pauser : pausers) pauser.join();
  EXPECT_TRUE(started) << "round " << round << ": state " << static_cast<int>(pool.GetState()) << ", live "
                       << pool.LiveThreads() << ", queued " << pool.QueuedJobs();
  EXPECT_TRUE(EventuallyStopped(pool, 1000));
}

}  // namespace
}  // namespace qr::concurrency
