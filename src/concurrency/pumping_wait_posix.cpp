#include <chrono>
#include <thread>

#include "concurrency/pumping_wait.h"

namespace qr::concurrency {

namespace detail {
// Without a toolkit pump a thread has no message queue: a plain timed wait.
void PlatformPumpingWait(std::int64_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
void PlatformProcessPendingMessages() {}
}  // namespace detail

std::int64_t MillisecondClock() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace qr::concurrency
