// What the main window holds when it opens: title, place and size, the menu
// tree, the toolbar, the two pages with their lists, the progress timer.
#pragma once

#include <string_view>

#include "ui/toolkit/main_window_model.h"

namespace qr::app {

inline constexpr std::string_view kWindowTitle = "Quillreel V " QUILLREEL_VERSION;
inline constexpr std::string_view kShowLogCaption = "显示日志";
inline constexpr std::string_view kShowQueueCaption = "显示下载";
inline constexpr std::string_view kTrayTip = "双击打开主程序,右键弹出菜单!";

// The font both lists use; a backend falls back to a similar face it has.
qr::ui::FontSpec ListFont();

struct MainWindowParts {
  qr::ui::ListView& queue;
  qr::ui::ListView& log;
  qr::ui::Timer& progressTimer;
};

// Fills an empty model; returns the parts the app logic works on.
MainWindowParts BuildMainWindow(qr::ui::MainWindowModel& model);

}  // namespace qr::app
