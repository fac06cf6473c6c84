// The one process-wide lock: guards a log write and a job's read of its list
// entry. Recursive per thread, like a platform critical section.
#pragma once

#include <memory>

namespace qr::concurrency {

class CriticalLock {
 public:
  CriticalLock();
  ~CriticalLock();
  CriticalLock(const CriticalLock&) = delete;
  CriticalLock& operator=(const CriticalLock&) = delete;

  void Enter();
  void Leave();
  // True when the calling thread now owns the lock (also when it already did).
  bool TryEnter();

 private:
  struct Record;
  std::unique_ptr<Record> record_;
};

// Holds a CriticalLock for one scope.
class CriticalSection {
 public:
  explicit CriticalSection(CriticalLock& lock) : lock_(lock) { lock_.Enter(); }
  ~CriticalSection() { lock_.Leave(); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

 private:
  CriticalLock& lock_;
};

}  // namespace qr::concurrency
