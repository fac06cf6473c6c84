#include "concurrency/critical_lock.h"

#include <gtest/gtest.h>

#include <thread>

namespace qr::concurrency {
namespace {

TEST(CriticalLockTest, RecursiveForTheOwnerAndRefusedToOthers) {
  CriticalLock lock;
  lock.Enter();
  EXPECT_TRUE(lock.TryEnter());  // the owner may enter again
  bool otherGotIt = true;
  std::thread([&] { otherGotIt = lock.TryEnter(); }).join();
  EXPECT_FALSE(otherGotIt);
  lock.Leave();
  std::thread([&] { otherGotIt = lock.TryEnter(); }).join();
  EXPECT_FALSE(otherGotIt);  // still held once
  lock.Leave();
  std::thread([&] {
    otherGotIt = lock.TryEnter();
    if (otherGotIt) lock.Leave();
  }).join();
  EXPECT_TRUE(otherGotIt);
}

TEST(CriticalLockTest, SerialisesIncrementsAcrossThreads) {
  CriticalLock lock;
  long counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        CriticalSection hold(lock);
        ++counter;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter, 80000);
}

}  // namespace
}  // namespace qr::concurrency
