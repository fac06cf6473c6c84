// Turning the lines of a queue or import file into queue rows.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/toolkit/list_view.h"

namespace qr::queue {

using RowFromFields = std::function<std::vector<std::string>(const std::vector<std::string>& fields)>;

// Splits `text` into CR LF lines and each line into comma fields, and appends
// one row per line made by `rowOf`. Blank lines and lines with fewer than
// `minFields` fields are passed over; every other line is kept whatever its
// name or folder holds (whether they can be used is checked when the task
// starts, see engine/name_rules.h), so a later save loses no row. Returns the
// number of rows added.
int AppendTaskLines(qr::ui::ListView& queue, std::string_view text, std::size_t minFields, const RowFromFields& rowOf);

}  // namespace qr::queue
