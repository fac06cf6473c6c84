// The queue the thread pool's jobs travel through, first in first out: the
// I/O completion port on Windows, a mutex and condition variable elsewhere.
//
// Like SyncEvent, the object can be opened and closed repeatedly; a closed
// queue refuses posts, fails takes at once and has dropped what it held.
#pragma once

#include <cstdint>
#include <memory>

#include "concurrency/sync_event.h"

namespace qr::concurrency {

// One queued packet. On Windows argument 1 travels in the byte count,
// argument 2 in the key and the routine in the overlapped pointer.
struct CompletionPacket {
  std::uint32_t argument1 = 0;
  std::uintptr_t argument2 = 0;
  std::uintptr_t routine = 0;
};

enum class TakeResult { Taken, TimedOut, Failed };

class CompletionQueue {
 public:
  CompletionQueue();
  ~CompletionQueue();
  CompletionQueue(const CompletionQueue&) = delete;
  CompletionQueue& operator=(const CompletionQueue&) = delete;

  // Creates an empty queue (closing an earlier one); false when it cannot be created.
  bool Open();
  // True only for the one call that found the queue open and closed it.
  bool Close();
  bool Post(const CompletionPacket& packet);
  // Takes the oldest packet, waiting up to `timeoutMs` (negative: no limit).
  TakeResult Take(CompletionPacket& packet, std::int64_t timeoutMs);

 private:
  struct Record;
  std::unique_ptr<Record> record_;
};

}  // namespace qr::concurrency
