// Everything a backend renders for the program's main window: a menu bar, a
// toolbar, below it a page control whose pages each show one list, timers and
// a tray icon. The app logic fills these before the backend subscribes.
#pragma once

#include <deque>
#include <vector>

#include "ui/toolkit/font_spec.h"
#include "ui/toolkit/list_view.h"
#include "ui/toolkit/menu_bar.h"
#include "ui/toolkit/page_control.h"
#include "ui/toolkit/timer.h"
#include "ui/toolkit/toolbar.h"
#include "ui/toolkit/tray_icon.h"
#include "ui/toolkit/window_model.h"

namespace qr::ui {

class MainWindowModel {
 public:
  WindowModel window;
  MenuBar menu;
  Toolbar toolbar;
  PageControl pages;
  TrayIcon tray;

  // Lists and timers live as long as the model; the references stay valid.
  ListView& AddList() { return lists_.emplace_back(); }
  Timer& AddTimer() { return timers_.emplace_back(); }

  std::vector<Timer*> Timers() {
    std::vector<Timer*> timers;
    for (auto& timer : timers_) timers.push_back(&timer);
    return timers;
  }

 private:
  std::deque<ListView> lists_;
  std::deque<Timer> timers_;
};

}  // namespace qr::ui
