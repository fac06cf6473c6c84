#include <windows.h>

#include <utility>

#include "concurrency/pool_thread.h"
#include "concurrency/wait_time.h"

namespace qr::concurrency {

namespace {

DWORD WINAPI RunBody(LPVOID parameter) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
  (*body)();
  return 0;
}

class Win32Thread : public PoolThread {
 public:
  explicit Win32Thread(HANDLE handle) : handle_(handle) {}
  ~Win32Thread() override { CloseHandle(handle_); }
  bool WaitForEnd(std::int64_t timeoutMs) override {
    return WaitForSingleObject(handle_, ToWaitMilliseconds(timeoutMs)) == WAIT_OBJECT_0;
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<PoolThread> PoolThread::Start(std::function<void()> body, std::uint32_t stackSize) {
  auto parameter = std::make_unique<std::function<void()>>(std::move(body));
  const DWORD flags = stackSize != 0 ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0;
  HANDLE handle = CreateThread(nullptr, stackSize, RunBody, parameter.get(), flags, nullptr);
  if (handle == nullptr) return nullptr;
  parameter.release();  // the new thread owns it now
  return std::make_unique<Win32Thread>(handle);
}

}  // namespace qr::concurrency
