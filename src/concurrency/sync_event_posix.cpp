#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "concurrency/sync_event.h"

namespace qr::concurrency {

struct SyncEvent::Record {
  explicit Record(bool manual) : manualReset(manual) {}
  const bool manualReset;
  std::mutex mutex;
  std::condition_variable changed;
  bool open = false;
  bool signalled = false;
  // Mirrors `signalled` (written under the mutex) so that setting an event
  // already set, as the pool does after every job, takes no lock.
  std::atomic<bool> alreadySet{false};

  void Signal(bool value) {
    signalled = value;
    alreadySet.store(value);
  }
};

SyncEvent::SyncEvent(bool manualReset) : record_(std::make_unique<Record>(manualReset)) {}
SyncEvent::~SyncEvent() = default;

bool SyncEvent::Open(bool initiallySet) {
  std::lock_guard<std::mutex> hold(record_->mutex);
  record_->open = true;
  record_->Signal(initiallySet);
  return true;
}

bool SyncEvent::Close() {
  {
    std::lock_guard<std::mutex> hold(record_->mutex);
    if (!record_->open) return false;
    record_->open = false;
    record_->Signal(false);
  }
  record_->changed.notify_all();
  return true;
}

void SyncEvent::Set() {
  if (record_->alreadySet.load()) return;
  {
    std::lock_guard<std::mutex> hold(record_->mutex);
    if (!record_->open) return;
    record_->Signal(true);
  }
  if (record_->manualReset) {
    record_->changed.notify_all();
  } else {
    record_->changed.notify_one();
  }
}

void SyncEvent::Reset() {
  std::lock_guard<std::mutex> hold(record_->mutex);
  record_->Signal(false);
}

WaitResult SyncEvent::Wait(std::int64_t timeoutMs) {
  Record& record = *record_;
  std::unique_lock<std::mutex> hold(record.mutex);
  const auto ready = [&record] { return record.signalled || !record.open; };
  if (timeoutMs < 0) {
    record.changed.wait(hold, ready);
  } else {
    record.changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), ready);
  }
  if (!record.open) return WaitResult::Failed;
  if (!record.signalled) return WaitResult::TimedOut;
  if (!record.manualReset) record.Signal(false);
  return WaitResult::Signalled;
}

}  // namespace qr::concurrency
