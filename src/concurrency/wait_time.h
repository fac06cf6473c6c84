// A time-out in milliseconds as the Windows wait functions take it.
#pragma once

#include <cstdint>

namespace qr::concurrency {

// The wait functions' "no limit" (INFINITE).
inline constexpr std::uint32_t kInfiniteWait = 0xFFFFFFFFu;

// A negative time-out waits without limit; one longer than 32 bits hold is
// the longest finite wait rather than an accidental INFINITE.
inline std::uint32_t ToWaitMilliseconds(std::int64_t timeoutMs) {
  if (timeoutMs < 0) return kInfiniteWait;
  if (timeoutMs >= static_cast<std::int64_t>(kInfiniteWait)) return kInfiniteWait - 1;
  return static_cast<std::uint32_t>(timeoutMs);
}

}  // namespace qr::concurrency
