// An event a thread can wait on, with automatic or manual reset: a Win32
// event on Windows, a condition variable elsewhere.
//
// The object can be opened and closed again and again while it lives, so a
// thread that still holds a reference after a close meets a closed event
// (waits fail at once) instead of freed memory. Closing wakes the waiters.
#pragma once

#include <cstdint>
#include <memory>

namespace qr::concurrency {

// A time-out in milliseconds that never runs out.
inline constexpr std::int64_t kNoTimeLimit = -1;

enum class WaitResult { Signalled, TimedOut, Failed };

class SyncEvent {
 public:
  explicit SyncEvent(bool manualReset);
  ~SyncEvent();
  SyncEvent(const SyncEvent&) = delete;
  SyncEvent& operator=(const SyncEvent&) = delete;

  // Creates the event (closing an earlier one); false when it cannot be created.
  bool Open(bool initiallySet);
  // True only for the one call that found the event open and closed it.
  bool Close();
  void Set();
  void Reset();
  // Waits until the event is set; an automatic-reset event is cleared again
  // for the one waiter it releases. A negative time-out waits without limit.
  WaitResult Wait(std::int64_t timeoutMs);

 private:
  struct Record;
  std::unique_ptr<Record> record_;
};

}  // namespace qr::concurrency
