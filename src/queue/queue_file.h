// download.ini, the queue kept between runs: one line per row, in row order,
// "name,address,folder,排队等待" and CR LF, code page 936; no file when the
// queue is empty.
#pragma once

#include <string>
#include <vector>

#include "queue/task_lines.h"
#include "ui/toolkit/list_view.h"

namespace qr::queue {

// The program folder joined with "download.ini".
std::string QueueFilePath();

// The file's bytes for these rows (every row is saved as queued).
std::string FormatQueueFile(const std::vector<std::vector<std::string>>& rows);

// Writes every row of `queue`. The new content goes to a temporary file that
// replaces download.ini, so a failed write leaves the previous queue intact;
// an empty queue removes the file. False when the file could not be written.
bool SaveQueue(const qr::ui::ListView& queue);

// Appends the rows of download.ini to `queue` (see AppendTaskLines for what
// is skipped); a missing file adds nothing. Returns the number of rows added.
int LoadQueue(qr::ui::ListView& queue);

}  // namespace qr::queue
