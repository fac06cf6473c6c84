// Turning the lines of a queue or import file into queue rows.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/toolkit/list_view.h"

namespace qr::queue {

// Where the queue reports what it skipped (the program log).
using TaskLog = std::function<void(const std::string& message)>;

using RowFromFields = std::function<std::vector<std::string>(const std::vector<std::string>& fields)>;

// Splits `text` into CR LF lines and each line into comma fields, and appends
// one row per line made by `rowOf`. Blank lines and lines with fewer than
// `minFields` fields are passed over; a row whose name or folder is unsafe
// (see task_safety.h) is left out with a log line naming it. Returns the
// number of rows added.
int AppendTaskLines(qr::ui::ListView& queue, std::string_view text, std::size_t minFields, const RowFromFields& rowOf,
                    const TaskLog& log);

}  // namespace qr::queue
