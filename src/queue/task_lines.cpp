#include "queue/task_lines.h"

#include "runtime/text.h"

namespace qr::queue {

int AppendTaskLines(qr::ui::ListView& queue, std::string_view text, std::size_t minFields, const RowFromFields& rowOf) {
  int added = 0;
  for (const std::string& line : qr::text::Split(text, "\r\n")) {
    if (line.empty()) continue;
    const std::vector<std::string> fields = qr::text::Split(line, ",");
    if (fields.size() < minFields) continue;
    queue.AddRow(rowOf(fields));
    ++added;
  }
  return added;
}

}  // namespace qr::queue
