#include "queue/download_task.h"

#include <utility>

namespace qr::queue {

std::vector<qr::ui::ListColumn> QueueColumns() {
  return {{"文件名", 135}, {"地址", 0},      {"目录", 0},       {"文件数量", 75},
          {"状态", 60},    {"传输进度", 60}, {"连接状态", 180}, {"线程", 36}};
}

std::vector<std::string> TaskRow(std::string name, std::string address, std::string folder, std::string state) {
  std::vector<std::string> row(kTaskColumnCount);
  row[kColumnName] = std::move(name);
  row[kColumnAddress] = std::move(address);
  row[kColumnFolder] = std::move(folder);
  row[kColumnState] = std::move(state);
  return row;
}

std::vector<std::string> QueuedTaskRow(std::string name, std::string address, std::string folder) {
  return TaskRow(std::move(name), std::move(address), std::move(folder), std::string(kStateQueued));
}

}  // namespace qr::queue
