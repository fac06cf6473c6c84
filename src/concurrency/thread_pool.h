// The download jobs' thread pool: a completion queue served by a fixed set of
// core workers, extra workers added one at a time by a manager thread while
// jobs outnumber the live workers (they leave again after an idle time-out),
// a run gate for pausing, and four ways of stopping.
//
// Calls that find the pool starting or stopping return false and change
// nothing. State and counters change only through atomic operations; the
// pool itself holds no lock. Everything the threads share lives in a record
// they co-own, so the pool object may be destroyed while jobs still run.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "concurrency/pool_thread.h"

namespace qr::concurrency {

// A unit of work: two 32-bit integers in, result ignored.
using JobRoutine = void (*)(std::int32_t argument1, std::int32_t argument2);

// A unit of work with a context of its caller's, which the pool keeps alive
// until the job has run or was dropped by a discarding stop.
using ContextJobRoutine = void (*)(void* context, std::int32_t argument1, std::int32_t argument2);

enum class PoolState : std::int32_t { Stopped = 0, Running = 1, Starting = 2, Stopping = 3 };

// Discarding modes drop the jobs still queued (a job already running always
// finishes); finishing modes let them all run first. The waiting modes
// return once the pool reads Stopped. Any other value counts as DiscardAndWait.
enum class StopMode : std::int32_t { DiscardAndWait = 0, FinishAndWait = 1, DiscardNoWait = 2, FinishNoWait = 3 };

class ThreadPool {
 public:
  ThreadPool();
  explicit ThreadPool(ThreadStarter startThread);
  // Stops with DiscardNoWait: running jobs finish on their own afterwards.
  ~ThreadPool();
  ThreadPool(const ThreadPool&) = delete;
  ThreadPool& operator=(const ThreadPool&) = delete;

  // Omitted values: 5 core workers, at most 20 threads, extra workers leave
  // after 10000 ms idle, system stack. Pumping keeps the caller's window
  // messages flowing while the workers come up.
  bool Start(std::optional<std::int32_t> initialThreads = std::nullopt,
             std::optional<std::int32_t> maxThreads = std::nullopt,
             std::optional<std::int32_t> idleTimeoutMs = std::nullopt, bool pumpMessages = false,
             std::int32_t stackSize = 0);
  // A time-out of 0 or less waits without limit; false when it runs out (the
  // pool then reaches Stopped on its own later). True on a stopped pool.
  bool Stop(StopMode mode = StopMode::DiscardAndWait, std::int32_t timeoutMs = 0, bool pumpMessages = false);

  void Pause();
  void Resume();
  // False when not running; otherwise whether the pool was unpaused within the time.
  bool WaitWhilePaused(std::int32_t timeoutMs = -1);

  bool Post(JobRoutine routine, std::int32_t argument1 = 0, std::int32_t argument2 = 0);
  bool PostWithContext(ContextJobRoutine routine, std::shared_ptr<void> context, std::int32_t argument1 = 0,
                       std::int32_t argument2 = 0);
  bool PostAddress(std::uintptr_t routineAddress, std::int32_t argument1 = 0, std::int32_t argument2 = 0);

  // Waits for the next job to finish (omitted or negative: no limit). This
  // wait and WaitWhilePaused end when the pool stops, for every waiter.
  bool WaitJobDone(std::optional<std::int32_t> timeoutMs = std::nullopt, bool pumpMessages = false);
  void SignalJobDone();

  std::int32_t IdleThreads() const;
  std::int32_t RunningJobs() const;
  std::int32_t QueuedJobs() const;
  std::int32_t LiveThreads() const;
  std::int32_t MaxThreads() const;
  bool IsIdle() const;
  PoolState GetState() const;

  void SetMaxThreads(std::int32_t count);
  void SetIdleTimeout(std::int32_t milliseconds);
  void SetStackSize(std::int32_t bytes);
  std::int32_t IdleTimeout() const;
  std::int32_t StackSize() const;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace qr::concurrency
