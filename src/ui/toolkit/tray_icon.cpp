#include "ui/toolkit/tray_icon.h"

#include <utility>

#include "runtime/text.h"

namespace qr::ui {

void TrayIcon::Show(std::string tip) {
  std::lock_guard guard(mutex_);
  present_ = true;
  tip_ = qr::text::FirstBytes(tip, kTrayTipLimit);
  ++showCount_;
  Notify({present_, tip_});
}

void TrayIcon::Remove() {
  std::lock_guard guard(mutex_);
  if (!present_) return;
  present_ = false;
  Notify({present_, tip_});
}

bool TrayIcon::IsPresent() const {
  std::lock_guard guard(mutex_);
  return present_;
}

std::string TrayIcon::Tip() const {
  std::lock_guard guard(mutex_);
  return tip_;
}

int TrayIcon::ShowCount() const {
  std::lock_guard guard(mutex_);
  return showCount_;
}

void TrayIcon::DescribeState(const Listener& listener) const { listener({present_, tip_}); }

}  // namespace qr::ui
