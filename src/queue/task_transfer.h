// Importing tasks from a UTF-8 text file of "name,address" lines, and
// exporting the queue's names and addresses to a file of the user's choice.
#pragma once

#include <string_view>

#include "queue/task_lines.h"
#include "ui/toolkit/list_view.h"
#include "ui/toolkit/toolkit_services.h"

namespace qr::queue {

// The filter of the program's file dialog.
inline constexpr std::string_view kTaskFileFilter = "配置设置(*.txt)|*.txt|文本文件(*.ini)|*.ini|所有文件(*.*)|*.*";

// Asks for a file, and appends one queued row per "name,address" line into
// the configured download folder. A file without any comma is refused with a
// message. Returns the number of rows added.
int ImportTasks(qr::ui::ListView& queue, qr::ui::ToolkitServices& services);

// Asks for a file and appends "name,address" CR LF for every row to it, in
// code page 936, keeping what the file held. Returns false when cancelled or
// the file could not be written.
bool ExportTasks(const qr::ui::ListView& queue, qr::ui::ToolkitServices& services);

}  // namespace qr::queue
