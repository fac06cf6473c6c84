// Two environment switches for demonstrations and screenshots, read once the
// main window exists (both front ends call this):
//   QUILLREEL_DEMO_LOG=<file>  every non-empty line of the file (code page
//                              936, CR LF or LF) is written to the program log;
//   QUILLREEL_DEMO_PAGE=1      the window opens on the log page, through the
//                              view switch so that its menu caption agrees;
//   QUILLREEL_DEMO_BUTTON=<n>  toolbar button n (0 new task, 1 start, 6
//                              options) is clicked once the event loop runs.
// Without them nothing changes.
#pragma once

#include "app/main_window.h"
#include "ui/toolkit/toolkit_services.h"

namespace qr::apps {

void ApplyDemoSwitches(qr::app::MainWindow& window, qr::ui::ToolkitServices& services);

}  // namespace qr::apps
