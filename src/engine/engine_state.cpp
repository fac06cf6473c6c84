#include "engine/engine_state.h"

#include "runtime/files.h"

namespace qr::engine {

std::string TaskRun::TempFolder() const { return qr::files::JoinPath(TaskFolder, TaskName); }

}  // namespace qr::engine
