// Jobs and helpers shared by the thread pool tests. A job is a plain routine
// of two integers, so what the jobs report goes through these globals.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

#include "concurrency/pumping_wait.h"
#include "concurrency/thread_pool.h"

namespace qr::concurrency::pool_test {

inline std::atomic<int> jobsRun{0};
inline std::atomic<int> jobsInside{0};
inline std::atomic<bool> released{false};

inline void CountJob(std::int32_t, std::int32_t) { jobsRun.fetch_add(1); }

// Holds its worker until `released` is set.
inline void BlockingJob(std::int32_t, std::int32_t) {
  jobsInside.fetch_add(1);
  while (!released.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  jobsInside.fetch_sub(1);
  jobsRun.fetch_add(1);
}

inline void ResetJobs() {
  jobsRun = 0;
  jobsInside = 0;
  released = false;
}

// Polls `condition` for up to `limitMs`; true as soon as it holds.
inline bool Eventually(const std::function<bool()>& condition, std::int64_t limitMs = 5000) {
  const std::int64_t end = MillisecondClock() + limitMs;
  while (!condition()) {
    if (MillisecondClock() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

inline bool EventuallyStopped(const ThreadPool& pool, std::int64_t limitMs = 5000) {
  return Eventually([&pool] { return pool.GetState() == PoolState::Stopped; }, limitMs);
}

}  // namespace qr::concurrency::pool_test
