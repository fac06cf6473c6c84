#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "concurrency/completion_queue.h"

namespace qr::concurrency {

struct CompletionQueue::Record {
  std::mutex mutex;
  std::condition_variable arrived;
  std::deque<CompletionPacket> packets;
  bool open = false;
};

CompletionQueue::CompletionQueue() : record_(std::make_unique<Record>()) {}
CompletionQueue::~CompletionQueue() = default;

bool CompletionQueue::Open() {
  std::lock_guard<std::mutex> hold(record_->mutex);
  record_->packets.clear();
  record_->open = true;
  return true;
}

bool CompletionQueue::Close() {
  std::deque<CompletionPacket> dropped;
  {
    std::lock_guard<std::mutex> hold(record_->mutex);
    if (!record_->open) return false;
    record_->open = false;
    dropped.swap(record_->packets);
  }
  record_->arrived.notify_all();
  return true;
}

bool CompletionQueue::Post(const CompletionPacket& packet) {
  {
    std::lock_guard<std::mutex> hold(record_->mutex);
    if (!record_->open) return false;
    record_->packets.push_back(packet);
  }
  record_->arrived.notify_one();
  return true;
}

TakeResult CompletionQueue::Take(CompletionPacket& packet, std::int64_t timeoutMs) {
  Record& record = *record_;
  std::unique_lock<std::mutex> hold(record.mutex);
  const auto ready = [&record] { return !record.packets.empty() || !record.open; };
  if (timeoutMs < 0) {
    record.arrived.wait(hold, ready);
  } else {
    record.arrived.wait_for(hold, std::chrono::milliseconds(timeoutMs), ready);
  }
  if (!record.open) return TakeResult::Failed;
  if (record.packets.empty()) return TakeResult::TimedOut;
  packet = record.packets.front();
  record.packets.pop_front();
  return TakeResult::Taken;
}

}  // namespace qr::concurrency
