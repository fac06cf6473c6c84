#include "app/process_objects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>

namespace qr::app {
namespace {

TEST(ProcessObjectsTest, WorkThatOutlivesTheObjectsKeepsTheirLockAndStateAndEndsWithoutTouchingTheirMemory) {
  // The objects live in storage of the test's own, so what is written there
  // after they are gone can be seen.
  alignas(ProcessObjects) unsigned char storage[sizeof(ProcessObjects)];
  auto* objects = new (storage) ProcessObjects();
  auto work = std::make_unique<ProcessObjects::BackgroundWork>(*objects);
  EXPECT_EQ(objects->BackgroundWorkCount(), 1);
  qr::concurrency::CriticalLock& lock = objects->Lock();
  qr::engine::EngineState& engine = objects->Engine();
  SharedText& continuousDownload = objects->ContinuousDownload();
  SharedText& autoName = objects->AutoName();
  objects->~ProcessObjects();
  std::memset(storage, 0x5A, sizeof storage);

  {
    qr::concurrency::CriticalSection section(lock);
    engine.Current()->SegmentDone = 3;
  }
  work.reset();
  for (const unsigned char byte : storage) ASSERT_EQ(byte, 0x5A);
  // The program leaves them to its end; the test process goes on, so it frees them.
  delete &lock;
  delete &engine;
  delete &continuousDownload;
  delete &autoName;
}

TEST(ProcessObjectsTest, WorkCountsWhileItRuns) {
  ProcessObjects objects;
  {
    ProcessObjects::BackgroundWork first(objects);
    ProcessObjects::BackgroundWork second(objects);
    EXPECT_EQ(objects.BackgroundWorkCount(), 2);
  }
  EXPECT_EQ(objects.BackgroundWorkCount(), 0);
}

}  // namespace
}  // namespace qr::app
