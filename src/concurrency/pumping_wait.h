// Waiting without starving a window thread.
//
// ProcessPendingMessages handles whatever messages wait for the calling
// thread; PumpingWait waits a time while doing so. On Windows the thread's own
// message queue is pumped natively. A toolkit whose event loop is not the
// Windows one (Qt on Linux) plugs its loop in for its thread through
// SetThreadMessagePump; on a thread without one both calls are a plain wait.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace qr::concurrency {

class MessagePump {
 public:
  virtual ~MessagePump() = default;
  // Handles every pending event of this thread and returns.
  virtual void ProcessPending() = 0;
  // Blocks until an event arrives or `limit` has passed.
  virtual void WaitForEvents(std::chrono::milliseconds limit) = 0;
};

// Installs `pump` for the calling thread (nullptr removes it); returns the previous one.
MessagePump* SetThreadMessagePump(MessagePump* pump);

void ProcessPendingMessages();

// Waits `duration` units; unit 0 or omitted = 1 ms, 1 = s, 2 = min, 3 = h,
// any other value = that many ms. Always returns true.
bool PumpingWait(std::int32_t duration, std::optional<std::int64_t> unit = std::nullopt);

// Milliseconds of a monotonic clock (the performance counter on Windows).
std::int64_t MillisecondClock();

namespace detail {
// Length in ms of one unit, and the wait as the platform layer receives it.
double UnitLength(std::optional<std::int64_t> unit);
}  // namespace detail

}  // namespace qr::concurrency
