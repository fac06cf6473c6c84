// One task of the download queue is one row of the queue list: eight text
// cells in a fixed column order. The queue has no other store; the first row
// is always the running (or next) task.
#pragma once

#include <string_view>
#include <vector>

#include "ui/toolkit/list_view.h"

namespace qr::queue {

enum TaskColumn : int {
  kColumnName = 0,        // 文件名: names the temporary folder and the merged file
  kColumnAddress = 1,     // 地址: the playlist address
  kColumnFolder = 2,      // 目录: where the temporary folder and the result go
  kColumnFileCount = 3,   // 文件数量: done/total
  kColumnState = 4,       // 状态: a TaskState text
  kColumnProgress = 5,    // 传输进度: whole percent and "%"
  kColumnConnection = 6,  // 连接状态: the latest log line
  kColumnThreads = 7,     // 线程: segment jobs running now
  kTaskColumnCount = 8,
};

// The texts of the state cell.
inline constexpr std::string_view kStateQueued = "排队等待";
inline constexpr std::string_view kStateDownloading = "正在下载";
inline constexpr std::string_view kStateDownloaded = "下载完成";

// The queue list's columns with their widths; the address and folder columns
// are kept but zero-wide.
std::vector<qr::ui::ListColumn> QueueColumns();

// A row of the four given cells, the rest empty.
std::vector<std::string> TaskRow(std::string name, std::string address, std::string folder, std::string state);
// A new queued row of the three given cells, the rest empty.
std::vector<std::string> QueuedTaskRow(std::string name, std::string address, std::string folder);

}  // namespace qr::queue
