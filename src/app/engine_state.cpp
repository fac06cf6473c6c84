#include "app/engine_state.h"

namespace qr::app {

void EngineState::ResetForRun() {
  KeyUri.clear();
  TaskFolder.clear();
  TaskName.clear();
  ResolvedUrl.clear();
  SegmentTotal = 0;
  SegmentDone = 0;
  SegmentFailed = 0;
  AllSegmentsDone = 0;
}

}  // namespace qr::app
