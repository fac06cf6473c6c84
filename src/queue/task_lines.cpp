#include "queue/task_lines.h"

#include "queue/download_task.h"
#include "queue/task_safety.h"
#include "runtime/text.h"

namespace qr::queue {

int AppendTaskLines(qr::ui::ListView& queue, std::string_view text, std::size_t minFields, const RowFromFields& rowOf,
                    const TaskLog& log) {
  int added = 0;
  for (const std::string& line : qr::text::Split(text, "\r\n")) {
    if (line.empty()) continue;
    const std::vector<std::string> fields = qr::text::Split(line, ",");
    if (fields.size() < minFields) continue;
    std::vector<std::string> row = rowOf(fields);
    switch (CheckTask(row[kColumnName], row[kColumnFolder])) {
      case TaskSafety::kUnsafeName:
        if (log) log("已跳过名称不安全的任务: " + row[kColumnName]);
        continue;
      case TaskSafety::kUnsafeFolder:
        if (log) log("已跳过目录不安全的任务: " + row[kColumnName]);
        continue;
      case TaskSafety::kSafe:
        break;
    }
    queue.AddRow(std::move(row));
    ++added;
  }
  return added;
}

}  // namespace qr::queue
