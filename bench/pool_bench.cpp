// Jobs per second of the thread pool for empty jobs, on 5, 20 and 99 threads.
// Usage: pool_bench [jobs per round, default 1000000]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "concurrency/pumping_wait.h"
#include "concurrency/thread_pool.h"

namespace {

using qr::concurrency::MillisecondClock;
using qr::concurrency::StopMode;
using qr::concurrency::ThreadPool;

std::atomic<long> jobsDone{0};

void EmptyJob(std::int32_t, std::int32_t) { jobsDone.fetch_add(1, std::memory_order_relaxed); }

// Posts `jobs` empty jobs from one thread and times them until the last has run.
double JobsPerSecond(int threads, long jobs) {
  ThreadPool pool;
  if (!pool.Start(threads, threads)) return 0.0;
  jobsDone = 0;
  const auto began = std::chrono::steady_clock::now();
  // Only jobs the pool took are waited for, so a refused post cannot hang the round.
  long posted = 0;
  for (long job = 0; job < jobs; ++job) posted += pool.Post(EmptyJob) ? 1 : 0;
  while (jobsDone.load() < posted) std::this_thread::yield();
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - began;
  pool.Stop(StopMode::FinishAndWait);
  return static_cast<double>(posted) / elapsed.count();
}

}  // namespace

int main(int argc, char** argv) {
  const long jobs = argc > 1 ? std::atol(argv[1]) : 1000000;
  std::printf("%ld empty jobs per round, %u hardware threads\n", jobs, std::thread::hardware_concurrency());
  for (const int threads : {5, 20, 99}) {
    double best = 0.0;
    for (int round = 0; round < 3; ++round) best = std::max(best, JobsPerSecond(threads, jobs));
    std::printf("%3d threads: %12.0f jobs/s (best of 3)\n", threads, best);
  }
  return 0;
}
