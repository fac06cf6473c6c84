// The objects that live as long as the process: created before any window in
// a fixed order (thread pool, lock, engine state, run-time texts) and released
// at exit with the pool first and the lock last.
#pragma once

#include <atomic>
#include <memory>

#include "engine/engine_state.h"
#include "app/shared_text.h"
#include "concurrency/critical_lock.h"
#include "concurrency/thread_pool.h"

namespace qr::app {

class ProcessObjects {
 public:
  ProcessObjects();
  ~ProcessObjects();
  ProcessObjects(const ProcessObjects&) = delete;
  ProcessObjects& operator=(const ProcessObjects&) = delete;

  // Created stopped; the download engine starts it.
  qr::concurrency::ThreadPool& Pool() { return *pool_; }
  qr::concurrency::CriticalLock& Lock() { return *lock_; }
  qr::engine::EngineState& Engine() { return *engine_; }
  // "真", "假" or empty (off); only "真" counts as on.
  SharedText& ContinuousDownload() { return *continuousDownload_; }
  // The name the new-task window proposes.
  SharedText& AutoName() { return *autoName_; }

  // Threads that use these objects without being waited for (the task worker,
  // the finishing thread) hold a BackgroundWork for their lifetime. It may
  // end after the objects are gone: it shares the counter, not the objects.
  class BackgroundWork {
   public:
    explicit BackgroundWork(ProcessObjects& objects) : count_(objects.backgroundWork_) { ++*count_; }
    ~BackgroundWork() { --*count_; }
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

   private:
    std::shared_ptr<std::atomic<int>> count_;
  };
  int BackgroundWorkCount() const { return *backgroundWork_; }

 private:
  std::unique_ptr<qr::concurrency::ThreadPool> pool_;
  std::unique_ptr<qr::concurrency::CriticalLock> lock_;
  std::unique_ptr<qr::engine::EngineState> engine_;
  std::unique_ptr<SharedText> continuousDownload_;
  std::unique_ptr<SharedText> autoName_;
  std::shared_ptr<std::atomic<int>> backgroundWork_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace qr::app
