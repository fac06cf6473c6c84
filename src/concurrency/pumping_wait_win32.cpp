#include <windows.h>

#include "concurrency/pumping_wait.h"

namespace qr::concurrency {

namespace detail {

void PlatformProcessPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit request for the thread's own message loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void PlatformPumpingWait(std::int64_t milliseconds) {
  HANDLE timer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
  LARGE_INTEGER due;
  due.QuadPart = -milliseconds * 10000;  // relative, in 100 ns steps
  if (timer == nullptr || !SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
    // No timer: wait on the clock instead, so the wait still ends.
    if (timer != nullptr) CloseHandle(timer);
    const std::int64_t end = MillisecondClock() + milliseconds;
    for (std::int64_t now = MillisecondClock(); now < end; now = MillisecondClock()) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
      PlatformProcessPendingMessages();
    }
    return;
  }
  while (MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    PlatformProcessPendingMessages();
  }
  CloseHandle(timer);
}

}  // namespace detail

std::int64_t MillisecondClock() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return value.QuadPart;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<std::int64_t>(static_cast<double>(counter.QuadPart) / static_cast<double>(frequency) * 1000.0);
}

}  // namespace qr::concurrency
