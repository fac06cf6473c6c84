#include <pthread.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "concurrency/pool_thread.h"
#include "concurrency/sync_event.h"

namespace qr::concurrency {

namespace {

// A Windows reservation is rounded up to the 64 KiB allocation granularity;
// keep the same floor here, which also clears the pthread minimum.
std::size_t SmallestStack() { return std::max<std::size_t>(64 * 1024, PTHREAD_STACK_MIN); }

struct Launch {
  std::function<void()> body;
  std::shared_ptr<SyncEvent> ended;
};

void* RunLaunch(void* parameter) {
  std::shared_ptr<SyncEvent> ended;
  {
    std::unique_ptr<Launch> launch(static_cast<Launch*>(parameter));
    ended = launch->ended;
    launch->body();
  }  // the body and what it captured are gone before the end is announced
  ended->Set();
  return nullptr;
}

class PosixThread : public PoolThread {
 public:
  PosixThread(pthread_t thread, std::shared_ptr<SyncEvent> ended) : thread_(thread), ended_(std::move(ended)) {}
  ~PosixThread() override {
    if (!joined_) pthread_detach(thread_);
  }
  bool WaitForEnd(std::int64_t timeoutMs) override {
    if (joined_) return true;
    if (ended_->Wait(timeoutMs) != WaitResult::Signalled) return false;
    pthread_join(thread_, nullptr);
    joined_ = true;
    return true;
  }

 private:
  pthread_t thread_;
  std::shared_ptr<SyncEvent> ended_;
  bool joined_ = false;
};

}  // namespace

std::unique_ptr<PoolThread> PoolThread::Start(std::function<void()> body, std::uint32_t stackSize) {
  auto ended = std::make_shared<SyncEvent>(true);
  ended->Open(false);
  auto launch = std::make_unique<Launch>(Launch{std::move(body), ended});
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return nullptr;
  if (stackSize != 0) pthread_attr_setstacksize(&attributes, std::max<std::size_t>(stackSize, SmallestStack()));
  pthread_t thread;
  const int created = pthread_create(&thread, &attributes, RunLaunch, launch.get());
  pthread_attr_destroy(&attributes);
  if (created != 0) return nullptr;
  launch.release();  // the new thread owns it now
  return std::make_unique<PosixThread>(thread, std::move(ended));
}

}  // namespace qr::concurrency
