// The settings the engine reads, each looked up afresh in config.ini. A key
// that is missing, or has no value, reads as the options window's default,
// so a fresh install downloads without the options being confirmed first.
#pragma once

#include <cstdint>
#include <string>

namespace qr::engine {

std::int32_t DownloadThreads();           // 20
std::int32_t SegmentAttempts();           // 5
std::int32_t ParseRetries();              // 5
std::string ShutdownDelay();              // "60"
bool ShutdownWhenDone();                  // off
bool MergeVideo();                        // on
bool DeleteTemporaryFiles();              // on
std::string ContinuousDownloadSetting();  // "真"

}  // namespace qr::engine
