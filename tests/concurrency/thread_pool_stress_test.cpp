#include <gtest/gtest.h>

#include <memory>
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

}  // namespace
}  // namespace qr::concurrency
