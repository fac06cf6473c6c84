#include "concurrency/pumping_wait.h"

#include <gtest/gtest.h>

namespace qr::concurrency {
namespace {

// A pump that counts how often the wait hands control to it.
class CountingPump : public MessagePump {
 public:
  void ProcessPending() override { ++processed; }
  void WaitForEvents(std::chrono::milliseconds limit) override {
    ++waits;
    // Pretend an event arrives every 10 ms.
    const auto slice = std::min<std::chrono::milliseconds>(limit, std::chrono::milliseconds(10));
    const std::int64_t until = MillisecondClock() + slice.count();
    while (MillisecondClock() < until) {
    }
  }
  int processed = 0;
  int waits = 0;
};

TEST(PumpingWaitTest, UnitLengths) {
  EXPECT_EQ(detail::UnitLength(std::nullopt), 1.0);
  EXPECT_EQ(detail::UnitLength(0), 1.0);
  EXPECT_EQ(detail::UnitLength(1), 1000.0);
  EXPECT_EQ(detail::UnitLength(2), 60000.0);
  EXPECT_EQ(detail::UnitLength(3), 3600000.0);
  EXPECT_EQ(detail::UnitLength(250), 250.0);
}

TEST(PumpingWaitTest, WaitsAboutTheGivenTimeOnAPlainThread) {
  const std::int64_t start = MillisecondClock();
  EXPECT_TRUE(PumpingWait(120));
  const std::int64_t elapsed = MillisecondClock() - start;
  EXPECT_GE(elapsed, 115);
  EXPECT_LT(elapsed, 2000);
  const std::int64_t zeroStart = MillisecondClock();
  EXPECT_TRUE(PumpingWait(0));
  EXPECT_TRUE(PumpingWait(-5));
  EXPECT_LT(MillisecondClock() - zeroStart, 50);
}

TEST(PumpingWaitTest, KeepsAnInstalledPumpRunning) {
  CountingPump pump;
  MessagePump* previous = SetThreadMessagePump(&pump);
  const std::int64_t start = MillisecondClock();
  PumpingWait(100);
  const std::int64_t elapsed = MillisecondClock() - start;
  SetThreadMessagePump(previous);
  EXPECT_GE(elapsed, 100);
  EXPECT_GE(pump.waits, 2);  // 10 on an idle machine; a loaded one (or a sanitizer build) gets fewer slices
  EXPECT_GE(pump.processed, pump.waits);
  // Zero duration: one pass through the pump, no blocking.
  CountingPump once;
  SetThreadMessagePump(&once);
  PumpingWait(0);
  SetThreadMessagePump(previous);
  EXPECT_EQ(once.processed, 1);
  EXPECT_EQ(once.waits, 0);
}

}  // namespace
}  // namespace qr::concurrency
