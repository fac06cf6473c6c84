// The notification-area icon: present or not, with its tip (code page 936).
#pragma once

#include <cstddef>
#include <string>

#include "ui/toolkit/observable.h"

namespace qr::ui {

// The longest tip the notification area keeps, in bytes.
inline constexpr std::size_t kTrayTipLimit = 62;

// Mouse actions on the icon, as the backends report them.
enum TrayEventKind : int {
  kTrayLeftClick = 1,
  kTrayDoubleClick = 2,
  kTrayMenuRequest = 3,  // right button released or the context-menu key
};

struct TrayChange {
  bool present = false;
  std::string tip;
};

class TrayIcon : public Observable<TrayChange> {
 public:
  // Puts the icon in (or replaces it) with `tip`, cut to kTrayTipLimit bytes
  // at a character boundary.
  void Show(std::string tip);
  void Remove();
  bool IsPresent() const;
  std::string Tip() const;
  // How often Show was called; the icon is replaced, never doubled.
  int ShowCount() const;

 protected:
  void DescribeState(const Listener& listener) const override;

 private:
  bool present_ = false;
  std::string tip_;
  int showCount_ = 0;
};

}  // namespace qr::ui
