#include "ui/toolkit/timer.h"

#include <utility>

namespace qr::ui {

void Timer::SetInterval(int intervalMs) {
  std::lock_guard guard(mutex_);
  intervalMs_ = intervalMs > 0 ? intervalMs : 0;
  Notify({intervalMs_});
}

int Timer::Interval() const {
  std::lock_guard guard(mutex_);
  return intervalMs_;
}

void Timer::SetTickHandler(std::function<void()> handler) {
  std::lock_guard guard(mutex_);
  handler_ = std::move(handler);
}

void Timer::Tick() {
  std::function<void()> handler;
  {
    std::lock_guard guard(mutex_);
    if (intervalMs_ == 0) return;
    handler = handler_;
  }
  // Run outside the lock: the handler may change the interval or wait.
  if (handler) handler();
}

void Timer::DescribeState(const Listener& listener) const { listener({intervalMs_}); }

}  // namespace qr::ui
