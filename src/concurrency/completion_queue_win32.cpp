#include <windows.h>

#include <atomic>

#include "concurrency/completion_queue.h"
#include "concurrency/wait_time.h"

namespace qr::concurrency {

struct CompletionQueue::Record {
  std::atomic<HANDLE> port{nullptr};
};

CompletionQueue::CompletionQueue() : record_(std::make_unique<Record>()) {}
CompletionQueue::~CompletionQueue() { Close(); }

bool CompletionQueue::Open() {
  HANDLE created = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 0);
  if (created == nullptr) return false;
  HANDLE previous = record_->port.exchange(created);
  if (previous != nullptr) CloseHandle(previous);
  return true;
}

bool CompletionQueue::Close() {
  // Packets still queued vanish with the port; threads waiting on it return failed.
  HANDLE port = record_->port.exchange(nullptr);
  if (port == nullptr) return false;
  CloseHandle(port);
  return true;
}

bool CompletionQueue::Post(const CompletionPacket& packet) {
  HANDLE port = record_->port.load();
  if (port == nullptr) return false;
  return PostQueuedCompletionStatus(port, packet.argument1, packet.argument2,
                                    reinterpret_cast<LPOVERLAPPED>(packet.routine)) != FALSE;
}

TakeResult CompletionQueue::Take(CompletionPacket& packet, std::int64_t timeoutMs) {
  HANDLE port = record_->port.load();
  if (port == nullptr) return TakeResult::Failed;
  DWORD bytes = 0;
  ULONG_PTR key = 0;
  LPOVERLAPPED overlapped = nullptr;
  if (GetQueuedCompletionStatus(port, &bytes, &key, &overlapped, ToWaitMilliseconds(timeoutMs))) {
    packet.argument1 = bytes;
    packet.argument2 = key;
    packet.routine = reinterpret_cast<std::uintptr_t>(overlapped);
    return TakeResult::Taken;
  }
  if (overlapped == nullptr && GetLastError() == WAIT_TIMEOUT) return TakeResult::TimedOut;
  return TakeResult::Failed;
}

}  // namespace qr::concurrency
