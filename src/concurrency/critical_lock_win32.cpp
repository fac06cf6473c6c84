#include <windows.h>

#include "concurrency/critical_lock.h"

namespace qr::concurrency {

struct CriticalLock::Record {
  CRITICAL_SECTION section{};
};

CriticalLock::CriticalLock() : record_(std::make_unique<Record>()) { InitializeCriticalSection(&record_->section); }
CriticalLock::~CriticalLock() { DeleteCriticalSection(&record_->section); }
void CriticalLock::Enter() { EnterCriticalSection(&record_->section); }
void CriticalLock::Leave() { LeaveCriticalSection(&record_->section); }
bool CriticalLock::TryEnter() { return TryEnterCriticalSection(&record_->section) != 0; }

}  // namespace qr::concurrency
