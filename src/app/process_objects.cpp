#include "app/process_objects.h"

namespace qr::app {

ProcessObjects::ProcessObjects()
    : pool_(std::make_unique<qr::concurrency::ThreadPool>()),
      lock_(std::make_unique<qr::concurrency::CriticalLock>()),
      engine_(std::make_unique<qr::engine::EngineState>()),
      continuousDownload_(std::make_unique<SharedText>()),
      autoName_(std::make_unique<SharedText>()) {}

ProcessObjects::~ProcessObjects() {
  // The pool goes first: queued jobs are dropped, running ones are not waited for.
  pool_->Stop(qr::concurrency::StopMode::DiscardNoWait);
  const bool jobsRunning = pool_->RunningJobs() != 0;
  pool_.reset();
  if (jobsRunning || *backgroundWork_ != 0) {
    // Work that is not waited for still uses the engine state and the lock:
    // freeing them under it would crash the process on its way out, so they
    // are left to the end of the process.
    (void)engine_.release();
    (void)continuousDownload_.release();
    (void)autoName_.release();
    (void)lock_.release();
    return;
  }
  engine_.reset();
  continuousDownload_.reset();
  autoName_.reset();
  lock_.reset();
}

}  // namespace qr::app
