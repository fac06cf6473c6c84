// A window timer: the backend fires Tick on the window thread every
// `interval` milliseconds while the interval is not 0.
#pragma once

#include <functional>

#include "ui/toolkit/observable.h"

namespace qr::ui {

struct TimerChange {
  int intervalMs = 0;
};

class Timer : public Observable<TimerChange> {
 public:
  // Any thread; 0 (or less) stops the timer. Setting the same interval again restarts the period.
  void SetInterval(int intervalMs);
  int Interval() const;

  // The app logic's handler; called by Tick.
  void SetTickHandler(std::function<void()> handler);
  // Called by the backend on the window thread; does nothing while the interval is 0.
  void Tick();

 protected:
  void DescribeState(const Listener& listener) const override;

 private:
  int intervalMs_ = 0;
  std::function<void()> handler_;
};

}  // namespace qr::ui
