#include "engine/engine_state.h"

#include <chrono>

#include "runtime/files.h"

namespace qr::engine {

std::int64_t SteadyMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string TaskRun::TempFolder() const { return qr::files::JoinPath(TaskFolder, TaskName); }

}  // namespace qr::engine
