#include "queue/queue_file.h"

#include <mutex>

#include "queue/download_task.h"
#include "runtime/files.h"

namespace qr::queue {

std::string QueueFilePath() { return qr::files::JoinPath(qr::files::ProgramFolder(), "download.ini"); }

std::string FormatQueueFile(const std::vector<std::vector<std::string>>& rows) {
  std::string content;
  for (const auto& row : rows) {
    if (row.size() <= kColumnFolder) continue;
    content += row[kColumnName] + "," + row[kColumnAddress] + "," + row[kColumnFolder] + ",";
    content += kStateQueued;
    content += "\r\n";
  }
  return content;
}

bool SaveQueue(const qr::ui::ListView& queue) {
  // One save at a time, the snapshot taken inside: of two saves racing, the
  // one that writes last also saw the queue last.
  static std::mutex oneSaveAtATime;
  std::lock_guard guard(oneSaveAtATime);
  // One snapshot: the engine may change cells of the first row meanwhile.
  const std::string content = FormatQueueFile(queue.Rows());
  const std::string path = QueueFilePath();
  if (content.empty()) return !qr::files::FileExists(path) || qr::files::RemoveFile(path);
  return qr::files::ReplaceFileBytes(path, content);
}

int LoadQueue(qr::ui::ListView& queue) {
  const std::string text = qr::files::ReadFileBytes(QueueFilePath());
  return AppendTaskLines(queue, text, 4, [](const std::vector<std::string>& fields) {
    return TaskRow(fields[0], fields[1], fields[2], fields[3]);
  });
}

}  // namespace qr::queue
