#include <windows.h>

#include <atomic>

#include "concurrency/sync_event.h"
#include "concurrency/wait_time.h"

namespace qr::concurrency {

struct SyncEvent::Record {
  explicit Record(bool manual) : manualReset(manual) {}
  const bool manualReset;
  std::atomic<HANDLE> handle{nullptr};
};

SyncEvent::SyncEvent(bool manualReset) : record_(std::make_unique<Record>(manualReset)) {}
SyncEvent::~SyncEvent() { Close(); }

bool SyncEvent::Open(bool initiallySet) {
  HANDLE created = CreateEventA(nullptr, record_->manualReset ? TRUE : FALSE, initiallySet ? TRUE : FALSE, nullptr);
  if (created == nullptr) return false;
  HANDLE previous = record_->handle.exchange(created);
  if (previous != nullptr) CloseHandle(previous);
  return true;
}

bool SyncEvent::Close() {
  HANDLE handle = record_->handle.exchange(nullptr);
  if (handle == nullptr) return false;
  // A thread already waiting keeps the event alive through its wait: let it go.
  SetEvent(handle);
  CloseHandle(handle);
  return true;
}

void SyncEvent::Set() {
  HANDLE handle = record_->handle.load();
  if (handle != nullptr) SetEvent(handle);
}

void SyncEvent::Reset() {
  HANDLE handle = record_->handle.load();
  if (handle != nullptr) ResetEvent(handle);
}

WaitResult SyncEvent::Wait(std::int64_t timeoutMs) {
  HANDLE handle = record_->handle.load();
  if (handle == nullptr) return WaitResult::Failed;
  switch (WaitForSingleObject(handle, ToWaitMilliseconds(timeoutMs))) {
    case WAIT_OBJECT_0:
      return WaitResult::Signalled;
    case WAIT_TIMEOUT:
      return WaitResult::TimedOut;
    default:
      return WaitResult::Failed;
  }
}

}  // namespace qr::concurrency
