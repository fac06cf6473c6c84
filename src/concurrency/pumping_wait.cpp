#include "concurrency/pumping_wait.h"

namespace qr::concurrency {

namespace detail {
// Implemented per system: waits `milliseconds` (already > 0) while pumping.
void PlatformPumpingWait(std::int64_t milliseconds);
void PlatformProcessPendingMessages();

double UnitLength(std::optional<std::int64_t> unit) {
  switch (unit.value_or(0)) {
    case 0:
      return 1.0;
    case 1:
      return 1000.0;
    case 2:
      return 60000.0;
    case 3:
      return 3600000.0;
    default:
      return static_cast<double>(*unit);
  }
}
}  // namespace detail

namespace {
thread_local MessagePump* threadPump = nullptr;
}

MessagePump* SetThreadMessagePump(MessagePump* pump) {
  MessagePump* previous = threadPump;
  threadPump = pump;
  return previous;
}

void ProcessPendingMessages() {
  if (threadPump != nullptr) {
    threadPump->ProcessPending();
  } else {
    detail::PlatformProcessPendingMessages();
  }
}

bool PumpingWait(std::int32_t duration, std::optional<std::int64_t> unit) {
  const double total = static_cast<double>(duration) * detail::UnitLength(unit);
  const auto milliseconds = static_cast<std::int64_t>(total);
  if (milliseconds <= 0) {
    // A zero wait still gives waiting messages one pass.
    ProcessPendingMessages();
    return true;
  }
  if (threadPump == nullptr) {
    detail::PlatformPumpingWait(milliseconds);
    return true;
  }
  const std::int64_t due = MillisecondClock() + milliseconds;
  for (std::int64_t now = MillisecondClock(); now < due; now = MillisecondClock()) {
    threadPump->ProcessPending();
    threadPump->WaitForEvents(std::chrono::milliseconds(due - now));
  }
  threadPump->ProcessPending();
  return true;
}

}  // namespace qr::concurrency
