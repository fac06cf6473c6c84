#include <mutex>

#include "concurrency/critical_lock.h"

namespace qr::concurrency {

struct CriticalLock::Record {
  std::recursive_mutex mutex;
};

CriticalLock::CriticalLock() : record_(std::make_unique<Record>()) {}
CriticalLock::~CriticalLock() = default;
void CriticalLock::Enter() { record_->mutex.lock(); }
void CriticalLock::Leave() { record_->mutex.unlock(); }
bool CriticalLock::TryEnter() { return record_->mutex.try_lock(); }

}  // namespace qr::concurrency
