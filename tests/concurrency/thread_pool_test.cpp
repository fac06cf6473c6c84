#include "concurrency/thread_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "pool_test_jobs.h"

namespace qr::concurrency {
namespace {

using namespace pool_test;

class ThreadPoolTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetJobs(); }
  void TearDown() override { released = true; }
};

// Records the stack size of every thread the pool creates and can refuse them.
struct RecordingStarter {
  std::mutex mutex;
  std::vector<std::uint32_t> stackSizes;
  std::function<bool(int call)> allow = [](int) { return true; };

  ThreadStarter Starter() {
    return [this](std::function<void()> body, std::uint32_t stackSize) -> std::unique_ptr<PoolThread> {
      int call = 0;
      {
        std::lock_guard<std::mutex> hold(mutex);
        call = static_cast<int>(stackSizes.size());
        stackSizes.push_back(stackSize);
      }
      if (!allow(call)) return nullptr;
      return PoolThread::Start(std::move(body), stackSize);
    };
  }
};

TEST_F(ThreadPoolTest, StartSettlesItsParameters) {
  ThreadPool pool;
  ASSERT_TRUE(pool.Start());
  EXPECT_EQ(pool.GetState(), PoolState::Running);
  EXPECT_EQ(pool.LiveThreads(), 5);
  EXPECT_EQ(pool.MaxThreads(), 20);
  EXPECT_EQ(pool.IdleTimeout(), 10000);
  EXPECT_EQ(pool.StackSize(), 0);
  EXPECT_TRUE(pool.IsIdle());
  EXPECT_EQ(pool.IdleThreads(), 5);
  // A second start is refused and changes nothing.
  EXPECT_FALSE(pool.Start(2, 3, 500, false, 20000));
  EXPECT_EQ(pool.LiveThreads(), 5);
  EXPECT_EQ(pool.MaxThreads(), 20);
  EXPECT_EQ(pool.IdleTimeout(), 10000);
  EXPECT_EQ(pool.StackSize(), 0);
  ASSERT_TRUE(pool.Stop());

  // A maximum below the core count is raised to it.
  ASSERT_TRUE(pool.Start(std::nullopt, 3));
  EXPECT_EQ(pool.LiveThreads(), 5);
  EXPECT_EQ(pool.MaxThreads(), 5);
  ASSERT_TRUE(pool.Stop());

  ASSERT_TRUE(pool.Start(0, 0, 50, false, 5000));
  EXPECT_EQ(pool.LiveThreads(), 1);
  EXPECT_EQ(pool.MaxThreads(), 1);
  EXPECT_EQ(pool.IdleTimeout(), 100);
  EXPECT_EQ(pool.StackSize(), 8192);
  ASSERT_TRUE(pool.Stop());

  ASSERT_TRUE(pool.Start(1, 2, 100, false, 13000));
  EXPECT_EQ(pool.StackSize(), 12288);
  // Later changes round to whole 8 KiB steps instead.
  pool.SetStackSize(13000);
  EXPECT_EQ(pool.StackSize(), 8192);
  pool.SetStackSize(100);
  EXPECT_EQ(pool.StackSize(), 8192);
  pool.SetStackSize(0);
  EXPECT_EQ(pool.StackSize(), 0);
  pool.SetIdleTimeout(50);
  EXPECT_EQ(pool.IdleTimeout(), 100);
  pool.SetMaxThreads(0);
  EXPECT_EQ(pool.MaxThreads(), 1);
  ASSERT_TRUE(pool.Stop());

  // The setters leave a stopped pool alone.
  pool.SetMaxThreads(7);
  pool.SetIdleTimeout(700);
  pool.SetStackSize(70000);
  EXPECT_EQ(pool.MaxThreads(), 1);
  EXPECT_EQ(pool.IdleTimeout(), 100);
  EXPECT_EQ(pool.StackSize(), 0);
}

TEST_F(ThreadPoolTest, WorkersGetTheSettledStackAndTheManagerASmallOne) {
  RecordingStarter recorder;
  ThreadPool pool(recorder.Starter());
  ASSERT_TRUE(pool.Start(3, 3, 100, false, 70000));
  ASSERT_TRUE(pool.Stop());
  ASSERT_EQ(recorder.stackSizes.size(), 4u);
  EXPECT_EQ(recorder.stackSizes[0], 8192u);  // the manager
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(recorder.stackSizes[i], 69632u);
}

TEST_F(ThreadPoolTest, StartRollsBackWhenNoWorkerComesUp) {
  RecordingStarter recorder;
  bool workersAllowed = false;
  recorder.allow = [&workersAllowed](int call) { return call == 0 || workersAllowed; };
  ThreadPool pool(recorder.Starter());
  EXPECT_FALSE(pool.Start(8));
  EXPECT_EQ(pool.GetState(), PoolState::Stopped);
  EXPECT_EQ(pool.LiveThreads(), 0);
  EXPECT_FALSE(pool.Post(CountJob));
  // Creation gave up after five failures in a row, not after eight.
  EXPECT_EQ(recorder.stackSizes.size(), 6u);

  // Without a manager thread nothing starts either.
  recorder.allow = [](int) { return false; };
  EXPECT_FALSE(pool.Start());
  EXPECT_EQ(pool.GetState(), PoolState::Stopped);

  // The same pool starts once threads can be created again.
  recorder.allow = [](int) { return true; };
  ASSERT_TRUE(pool.Start(2));
  EXPECT_TRUE(pool.Post(CountJob));
  ASSERT_TRUE(pool.Stop(StopMode::FinishAndWait));
  EXPECT_EQ(jobsRun, 1);
}

TEST_F(ThreadPoolTest, StopAnswersByState) {
  ThreadPool pool;
  EXPECT_TRUE(pool.Stop());  // already stopped
  EXPECT_TRUE(pool.Stop(StopMode::FinishNoWait));

  ASSERT_TRUE(pool.Start(1, 1));
  ASSERT_TRUE(pool.Post(BlockingJob));
  ASSERT_TRUE(Eventually([] { return jobsInside == 1; }));
  EXPECT_TRUE(pool.Stop(StopMode::DiscardNoWait));
  EXPECT_EQ(pool.GetState(), PoolState::Stopping);
  // While stopping, every call that needs another state is refused.
  EXPECT_FALSE(pool.Stop());
  EXPECT_FALSE(pool.Stop(StopMode::FinishAndWait, 10));
  EXPECT_FALSE(pool.Start());
  EXPECT_FALSE(pool.Post(CountJob));
  EXPECT_FALSE(pool.WaitJobDone(10));
  EXPECT_FALSE(pool.WaitWhilePaused(10));
  released = true;
  ASSERT_TRUE(EventuallyStopped(pool));
  EXPECT_EQ(jobsRun, 1);  // a running job is never cut short

  // Stop from inside Start, while the pool is still starting.
  RecordingStarter recorder;
  ThreadPool* starting = nullptr;
  bool stopResult = true;
  PoolState seen = PoolState::Stopped;
  recorder.allow = [&](int call) {
    if (call == 1) {
      seen = starting->GetState();
      stopResult = starting->Stop();
    }
    return true;
  };
  ThreadPool second(recorder.Starter());
  starting = &second;
  ASSERT_TRUE(second.Start(2));
  EXPECT_EQ(seen, PoolState::Starting);
  EXPECT_FALSE(stopResult);
  EXPECT_EQ(second.GetState(), PoolState::Running);
}

TEST_F(ThreadPoolTest, PostsAreRefusedUnlessRunning) {
  ThreadPool pool;
  EXPECT_FALSE(pool.Post(CountJob));
  EXPECT_EQ(pool.QueuedJobs(), 0);
  ASSERT_TRUE(pool.Start(2));
  EXPECT_FALSE(pool.Post(nullptr));
  EXPECT_FALSE(pool.PostAddress(0));
  // The exit marker's value is no job.
  EXPECT_FALSE(pool.PostAddress(static_cast<std::uintptr_t>(-2)));
  EXPECT_TRUE(pool.PostAddress(reinterpret_cast<std::uintptr_t>(&CountJob), 1, 2));
  ASSERT_TRUE(pool.Stop(StopMode::FinishAndWait));
  EXPECT_EQ(jobsRun, 1);
  EXPECT_FALSE(pool.Post(CountJob));
  EXPECT_EQ(pool.QueuedJobs(), 0);
}

std::atomic<std::int64_t> argumentsSeen{0};
void RecordArguments(std::int32_t argument1, std::int32_t argument2) {
  argumentsSeen = (static_cast<std::int64_t>(argument1) << 32) | static_cast<std::uint32_t>(argument2);
}

TEST_F(ThreadPoolTest, ArgumentsArriveWhole) {
  ThreadPool pool;
  ASSERT_TRUE(pool.Start(1));
  ASSERT_TRUE(pool.Post(RecordArguments, -7, -2));  // -2 as an argument is no exit marker
  ASSERT_TRUE(pool.Stop(StopMode::FinishAndWait));
  EXPECT_EQ(argumentsSeen, (std::int64_t{-7} << 32) | 0xFFFFFFFEu);
}

TEST_F(ThreadPoolTest, PausedPoolKeepsJobsUntilResumed) {
  ThreadPool pool;
  ASSERT_TRUE(pool.Start(3));
  pool.Pause();
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(pool.Post(CountJob));
  EXPECT_FALSE(pool.WaitWhilePaused(50));
  EXPECT_EQ(pool.RunningJobs(), 0);
  EXPECT_EQ(pool.QueuedJobs(), 5);
  EXPECT_EQ(jobsRun, 0);
  EXPECT_FALSE(pool.IsIdle());
  pool.Resume();
  EXPECT_TRUE(pool.WaitWhilePaused(0));
  ASSERT_TRUE(Eventually([] { return jobsRun == 5; }));
  ASSERT_TRUE(Eventually([&pool] { return pool.IsIdle(); }));
  ASSERT_TRUE(pool.Stop());
  EXPECT_FALSE(pool.WaitWhilePaused(0));
}

TEST_F(ThreadPoolTest, EveryStopModeOpensThePauseGate) {
  for (int mode = 0; mode < 4; ++mode) {
    SCOPED_TRACE(mode);
    ResetJobs();
    ThreadPool pool;
    ASSERT_TRUE(pool.Start(2));
    pool.Pause();
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(pool.Post(CountJob));
    ASSERT_TRUE(pool.Stop(static_cast<StopMode>(mode)));
    ASSERT_TRUE(EventuallyStopped(pool));
    const bool finishing = mode == 1 || mode == 3;
    EXPECT_EQ(jobsRun, finishing ? 4 : 0);
  }
}

TEST_F(ThreadPoolTest, FinishingStopRunsTheQueueAndDiscardingStopDropsIt) {
  for (const StopMode mode : {StopMode::FinishAndWait, StopMode::DiscardAndWait}) {
    ResetJobs();
    ThreadPool pool;
    ASSERT_TRUE(pool.Start(1, 1));
    ASSERT_TRUE(pool.Post(BlockingJob));
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(pool.Post(CountJob));
    ASSERT_TRUE(Eventually([] { return jobsInside == 1; }));
    EXPECT_EQ(pool.QueuedJobs(), 10);
    EXPECT_EQ(pool.RunningJobs(), 1);
    std::thread releaser([] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      released = true;
    });
    EXPECT_TRUE(pool.Stop(mode));
    releaser.join();
    // Waiting modes return only once the pool is down.
    EXPECT_EQ(pool.GetState(), PoolState::Stopped);
    EXPECT_EQ(jobsRun, mode == StopMode::FinishAndWait ? 11 : 1);
    EXPECT_EQ(pool.LiveThreads(), 0);
    EXPECT_EQ(pool.RunningJobs(), 0);
    EXPECT_EQ(pool.QueuedJobs(), 0);
    EXPECT_TRUE(pool.IsIdle());
  }
}

TEST_F(ThreadPoolTest, UnknownStopModeDiscards) {
  ThreadPool pool;
  ASSERT_TRUE(pool.Start(1, 1));
  pool.Pause();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(pool.Post(CountJob));
  EXPECT_TRUE(pool.Stop(static_cast<StopMode>(9)));
  EXPECT_EQ(pool.GetState(), PoolState::Stopped);
  EXPECT_EQ(jobsRun, 0);
}

// Counts the passes a waiting call gives the caller's message loop.
class CountingPump : public MessagePump {
 public:
  void ProcessPending() override { ++processed; }
  void WaitForEvents(std::chrono::milliseconds) override {}
  std::atomic<int> processed{0};
};

TEST_F(ThreadPoolTest, StopTimeOutLeavesThePoolStoppingUntilItsLastWorkerLeaves) {
  ThreadPool pool;
  ASSERT_TRUE(pool.Start(2));
  ASSERT_TRUE(pool.Post(BlockingJob));
  ASSERT_TRUE(Eventually([] { return jobsInside == 1; }));
  const std::int64_t began = MillisecondClock();
  EXPECT_FALSE(pool.Stop(StopMode::DiscardAndWait, 100));
  EXPECT_GE(MillisecondClock() - began, 100);
  EXPECT_EQ(pool.GetState(), PoolState::Stopping);
  released = true;
  ASSERT_TRUE(EventuallyStopped(pool));

  // The same with the caller's messages pumped while it waits.
  ResetJobs();
  ASSERT_TRUE(pool.Start(2));
  ASSERT_TRUE(pool.Post(BlockingJob));
  ASSERT_TRUE(Eventually([] { return jobsInside == 1; }));
  CountingPump pump;
  MessagePump* previous = SetThreadMessagePump(&pump);
  EXPECT_FALSE(pool.Stop(StopMode::FinishAndWait, 100, true));
  SetThreadMessagePump(previous);
  EXPECT_GE(pump.processed, 3);
  EXPECT_EQ(pool.GetState(), PoolState::Stopping);
  released = true;
  ASSERT_TRUE(EventuallyStopped(pool));
  EXPECT_TRUE(pool.Start(1));
}

TEST_F(ThreadPoolTest, ExtraWorkersComeUnderLoadAndLeaveWhenIdle) {
  ThreadPool pool;
  ASSERT_TRUE(pool.Start(2, 6, 100));
  std::atomic<int> highest{0};
  std::atomic<bool> watching{true};
  std::thread watcher([&] {
    while (watching) {
      highest = std::max(highest.load(), pool.LiveThreads());
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(pool.Post(BlockingJob));
  EXPECT_TRUE(Eventually([&pool] { return pool.LiveThreads() == 6; }));
  EXPECT_TRUE(Eventually([] { return jobsInside == 6; }));
  EXPECT_EQ(pool.IdleThreads(), 0);
  released = true;
  ASSERT_TRUE(Eventually([] { return jobsRun == 20; }));
  // Extra workers go after 100 ms without a job; the two core workers stay.
  EXPECT_TRUE(Eventually([&pool] { return pool.LiveThreads() == 2; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_EQ(pool.LiveThreads(), 2);
  watching = false;
  watcher.join();
  EXPECT_EQ(highest, 6);

  // Raising the maximum lets the pool grow again at once.
  released = false;
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(pool.Post(BlockingJob));
  EXPECT_TRUE(Eventually([&pool] { return pool.LiveThreads() == 4; }));
  pool.SetMaxThreads(3);
  released = true;
  ASSERT_TRUE(pool.Stop(StopMode::FinishAndWait));
  EXPECT_EQ(pool.LiveThreads(), 0);
}

TEST_F(ThreadPoolTest, FailingExtraWorkersLowerTheMaximum) {
  RecordingStarter recorder;
  recorder.allow = [](int call) { return call <= 2; };  // the manager and two core workers
  ThreadPool pool(recorder.Starter());
  ASSERT_TRUE(pool.Start(2, 10));
  for (int i = 0; i < 6; ++i) ASSERT_TRUE(pool.Post(BlockingJob));
  EXPECT_TRUE(Eventually([&pool] { return pool.MaxThreads() == 2; }));
  EXPECT_EQ(pool.LiveThreads(), 2);
  released = true;
  ASSERT_TRUE(pool.Stop(StopMode::FinishAndWait));
  EXPECT_EQ(jobsRun, 6);
}

TEST_F(ThreadPoolTest, WaitJobDoneFollowsFinishedJobs) {
  ThreadPool pool;
  EXPECT_FALSE(pool.WaitJobDone(0));
  ASSERT_TRUE(pool.Start(2));
  EXPECT_FALSE(pool.WaitJobDone(30));
  ASSERT_TRUE(pool.Post(BlockingJob));
  std::thread releaser([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    released = true;
  });
  EXPECT_TRUE(pool.WaitJobDone());
  releaser.join();
  pool.SignalJobDone();
  EXPECT_TRUE(pool.WaitJobDone(0));

  CountingPump pump;
  MessagePump* previous = SetThreadMessagePump(&pump);
  EXPECT_FALSE(pool.WaitJobDone(60, true));
  EXPECT_GE(pump.processed, 2);
  ASSERT_TRUE(pool.Post(CountJob));
  EXPECT_TRUE(pool.WaitJobDone(-1, true));
  SetThreadMessagePump(previous);

  // A waiter without a limit is let go when the pool stops.
  std::atomic<bool> waitEnded{false};
  std::thread waiter([&] {
    pool.WaitJobDone();
    waitEnded = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(pool.Stop());
  waiter.join();
  EXPECT_TRUE(waitEnded);
}

// A job in the manner of a segment download: it re-posts itself with the
// next attempt number until its last attempt.
ThreadPool* repostPool = nullptr;
std::atomic<int> segmentsDone{0};
std::atomic<int> repostsRefused{0};
constexpr std::int32_t kAttempts = 3;
void RetryingJob(std::int32_t segment, std::int32_t attempt) {
  if (attempt < kAttempts) {
    if (!repostPool->Post(RetryingJob, segment, attempt + 1)) repostsRefused.fetch_add(1);
    return;
  }
  segmentsDone.fetch_add(1);
}

// Re-posts itself for as long as the pool takes it.
void EndlessJob(std::int32_t, std::int32_t) {
  jobsRun.fetch_add(1);
  if (!repostPool->Post(EndlessJob)) repostsRefused.fetch_add(1);
}

TEST_F(ThreadPoolTest, RepostingJobsKeepThePoolBusyUntilTheirLastAttempt) {
  // The way the progress timer ends a task: stop as soon as the pool reads idle.
  for (int round = 0; round < 20; ++round) {
    ThreadPool pool;
    repostPool = &pool;
    segmentsDone = 0;
    repostsRefused = 0;
    ASSERT_TRUE(pool.Start(std::nullopt, 8));
    for (std::int32_t segment = 1; segment <= 40; ++segment) ASSERT_TRUE(pool.Post(RetryingJob, segment, 1));
    ASSERT_TRUE(Eventually([&pool] { return pool.IsIdle(); }));
    ASSERT_TRUE(pool.Stop());
    EXPECT_EQ(segmentsDone, 40);
    EXPECT_EQ(repostsRefused, 0);
  }
}

TEST_F(ThreadPoolTest, StopRacingWithARepostingJobEndsInEveryMode) {
  for (int mode = 0; mode < 4; ++mode) {
    SCOPED_TRACE(mode);
    ResetJobs();
    repostsRefused = 0;
    ThreadPool pool;
    repostPool = &pool;
    ASSERT_TRUE(pool.Start(4));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(pool.Post(EndlessJob));
    ASSERT_TRUE(Eventually([] { return jobsRun > 200; }));
    ASSERT_TRUE(pool.Stop(static_cast<StopMode>(mode)));
    ASSERT_TRUE(EventuallyStopped(pool));
    // A finishing stop runs what was queued, and those jobs' re-posts are refused.
    if (mode == 1 || mode == 3) {
      EXPECT_GE(repostsRefused, 1);
    }
    const int settled = jobsRun;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(jobsRun, settled);
  }
}

std::atomic<int> stopFromJobResult{-1};
void StoppingJob(std::int32_t, std::int32_t) { stopFromJobResult = repostPool->Stop(StopMode::FinishAndWait) ? 1 : 0; }

TEST_F(ThreadPoolTest, AJobThatStopsItsOwnPoolIsNotLeftWaitingForItself) {
  ThreadPool pool;
  repostPool = &pool;
  ASSERT_TRUE(pool.Start(2));
  ASSERT_TRUE(pool.Post(StoppingJob));
  ASSERT_TRUE(EventuallyStopped(pool));
  EXPECT_EQ(stopFromJobResult, 0);
}

TEST_F(ThreadPoolTest, DestroyingThePoolLeavesRunningJobsToFinish) {
  auto pool = std::make_unique<ThreadPool>();
  ASSERT_TRUE(pool->Start(3, 3));
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(pool->Post(BlockingJob));
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(pool->Post(CountJob));
  ASSERT_TRUE(Eventually([] { return jobsInside == 3; }));
  const std::int64_t began = MillisecondClock();
  pool.reset();
  EXPECT_LT(MillisecondClock() - began, 2000);
  // The workers finish their jobs after the pool object is gone, then leave.
  released = true;
  ASSERT_TRUE(Eventually([] { return jobsRun == 3 && jobsInside == 0; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(jobsRun, 3);
}

TEST_F(ThreadPoolTest, StartsAgainAsSoonAsThePreviousRunHasEnded) {
  ThreadPool pool;
  for (int cycle = 0; cycle < 20; ++cycle) {
    ASSERT_TRUE(pool.Start(2, 4));
    for (int i = 0; i < 10; ++i) pool.Post(CountJob);
    ASSERT_TRUE(pool.Stop(cycle % 2 == 0 ? StopMode::DiscardNoWait : StopMode::FinishNoWait));
    // Retry while the last worker is still on its way out.
    ASSERT_TRUE(Eventually([&pool] { return pool.Start(1); }));
    EXPECT_GE(pool.LiveThreads(), 1);
    ASSERT_TRUE(pool.Stop(StopMode::FinishAndWait));
    EXPECT_EQ(pool.LiveThreads(), 0);
  }
}

// A job reaches its caller's context; the pool lets go of every context it
// holds, whether the job ran or a discarding stop dropped it.
TEST_F(ThreadPoolTest, ContextJobsRunOrReleaseTheirContext) {
  struct Tally {
    std::atomic<int> sum{0};
  };
  const auto add = [](void* context, std::int32_t a, std::int32_t b) { static_cast<Tally*>(context)->sum += a * b; };
  ThreadPool pool;
  ASSERT_TRUE(pool.Start(1, 1));
  auto tally = std::make_shared<Tally>();
  for (int i = 1; i <= 10; ++i) ASSERT_TRUE(pool.PostWithContext(add, tally, i, 2));
  ASSERT_TRUE(pool.Stop(StopMode::FinishAndWait, 5000));
  EXPECT_EQ(tally->sum, 110);
  EXPECT_EQ(tally.use_count(), 1);

  ASSERT_TRUE(pool.Start(1, 1));
  pool.Pause();
  std::weak_ptr<Tally> dropped = tally;
  for (int i = 0; i < 50; ++i) pool.PostWithContext(add, tally, 1, 1);
  tally.reset();
  ASSERT_TRUE(pool.Stop(StopMode::DiscardAndWait, 5000));
  EXPECT_TRUE(dropped.expired());
  EXPECT_FALSE(pool.PostWithContext(add, std::make_shared<Tally>(), 1, 1));
}

}  // namespace
}  // namespace qr::concurrency
