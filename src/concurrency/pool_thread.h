// Creating the pool's threads with a chosen stack size, and waiting for one to end.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace qr::concurrency {

class PoolThread {
 public:
  // Runs `body` on a new thread with `stackSize` bytes of stack reserved
  // (0 = the system's default). Null when the thread could not be created.
  static std::unique_ptr<PoolThread> Start(std::function<void()> body, std::uint32_t stackSize);

  // Closing the handle leaves the thread running.
  virtual ~PoolThread() = default;
  // True once the thread has ended (and let go of everything its body held).
  virtual bool WaitForEnd(std::int64_t timeoutMs) = 0;
};

// How the pool creates its threads; tests substitute one that fails on demand.
using ThreadStarter = std::function<std::unique_ptr<PoolThread>(std::function<void()> body, std::uint32_t stackSize)>;

}  // namespace qr::concurrency
