#include "queue/task_transfer.h"

#include <string>

#include "queue/download_task.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "settings/setting_lookup.h"

namespace qr::queue {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

qr::ui::FileDialogRequest TaskFileDialog(std::string title) {
  return {std::string(kTaskFileFilter), qr::files::ProgramFolder(), std::move(title)};
}

}  // namespace

int ImportTasks(qr::ui::ListView& queue, qr::ui::ToolkitServices& services) {
  const std::string folder = qr::settings::ReadSetting(qr::settings::kDownloadFolder);
  const std::string path = services.ChooseOpenFile(TaskFileDialog("请选择欲导入的文本"));
  if (path.empty()) return 0;

  std::string utf8 = qr::files::ReadFileBytes(path);
  // Editors that add a byte-order mark would otherwise spoil the first name.
  if (qr::text::StartsWith(utf8, kUtf8ByteOrderMark)) utf8.erase(0, kUtf8ByteOrderMark.size());
  const std::string text = qr::codepage::Utf8ToGbk(utf8);
  if (text.empty()) return 0;
  if (!qr::text::Contains(text, ",")) {
    services.ShowMessage({"仅支持用 , 分割", "信息：", qr::ui::message_box::kIconError});
    return 0;
  }
  return AppendTaskLines(queue, text, 2, [&folder](const std::vector<std::string>& fields) {
    return QueuedTaskRow(fields[0], fields[1], folder);
  });
}

bool ExportTasks(const qr::ui::ListView& queue, qr::ui::ToolkitServices& services) {
  const std::string path = services.ChooseSaveFile(TaskFileDialog(""));
  if (path.empty()) return false;
  std::string lines;
  for (const auto& row : queue.Rows()) lines += row[kColumnName] + "," + row[kColumnAddress] + "\r\n";
  if (lines.empty()) return true;
  return qr::files::AppendFileBytes(path, lines);
}

}  // namespace qr::queue
