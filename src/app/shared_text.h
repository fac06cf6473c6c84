// A text that several threads read and write, such as the run-time switch
// ContinuousDownload ("真", "假" or empty).
#pragma once

#include <mutex>
#include <string>

namespace qr::app {

class SharedText {
 public:
  std::string Get() const {
    std::lock_guard guard(mutex_);
    return text_;
  }
  void Set(std::string text) {
    std::lock_guard guard(mutex_);
    text_ = std::move(text);
  }

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

}  // namespace qr::app
