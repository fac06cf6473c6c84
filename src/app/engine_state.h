// The one process-wide record of the download engine, created empty at start.
// The counters are shared between the window thread, the task worker and the
// pool's jobs without a lock, so they are atomic; the texts belong to the
// task worker while it runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace qr::app {

struct EngineState {
  std::string TaskFolder;   // the first row's folder
  std::string TaskName;     // the first row's name
  std::string ResolvedUrl;  // the playlist address after resolution
  std::string PlaylistText;
  std::vector<std::string> DownloadList;  // entry i of the list (counted from 1) is DownloadList[i - 1]
  std::string KeyUri;
  std::atomic<std::int32_t> SegmentTotal{0};
  std::atomic<std::int32_t> SegmentDone{0};
  std::atomic<std::int32_t> SegmentFailed{0};
  std::atomic<std::int32_t> AllSegmentsDone{0};

  // What every task worker run does first: the key address, the task's folder
  // and name and the resolved address empty, the counters 0. The playlist
  // text and the download list stay; the run replaces them itself.
  void ResetForRun();
};

}  // namespace qr::app
