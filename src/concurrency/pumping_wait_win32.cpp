#include <windows.h>

#include "concurrency/pumping_wait.h"

namespace qr::concurrency {

namespace detail {
namespace {

// Dispatches every waiting message. A quit request is taken out of the queue
// and handed back through `quitCode`, so that a wait can hold it until it
// ends instead of finding it again at once and spinning on it.
bool DispatchPending(int& quitCode) {
  bool quit = false;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit = true;
      quitCode = static_cast<int>(message.wParam);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return quit;
}

}  // namespace

void PlatformProcessPendingMessages() {
  int quitCode = 0;
  // Leave the quit request for the thread's own message loop.
  if (DispatchPending(quitCode)) PostQuitMessage(quitCode);
}

void PlatformPumpingWait(std::int64_t milliseconds) {
  const std::int64_t end = MillisecondClock() + milliseconds;
  HANDLE timer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
  LARGE_INTEGER due;
  due.QuadPart = -milliseconds * 10000;  // relative, in 100 ns steps
  // Without a usable timer the wait runs on the clock instead, so it still ends.
  bool onTimer = timer != nullptr && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
  bool quit = false;
  int quitCode = 0;
  for (;;) {
    const std::int64_t now = MillisecondClock();
    if (!onTimer && now >= end) break;
    const DWORD result = onTimer
                             ? MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, QS_ALLINPUT)
                             : MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    if (onTimer && result == WAIT_OBJECT_0) break;
    if (result == WAIT_FAILED) onTimer = false;
    int code = 0;
    if (DispatchPending(code)) {
      quit = true;
      quitCode = code;
    }
  }
  if (timer != nullptr) CloseHandle(timer);
  if (quit) PostQuitMessage(quitCode);
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
