// The task import on arbitrary UTF-8 files and download folders: the rows it
// adds are saved to download.ini and come back unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "runtime/text.h"
#include "queue/download_task.h"
#include "queue/queue_file.h"
#include "queue/task_transfer.h"
#include "runtime/files.h"
#include "settings/setting_lookup.h"
#include "ui/headless/headless_toolkit.h"

namespace queue = qr::queue;

namespace {

std::string OwnProgramFolder() {
  static const std::string folder = [] {
    char path[] = "/tmp/quillreel-fuzz-import-XXXXXX";
    FUZZ_CHECK(mkdtemp(path) != nullptr);
    qr::files::SetProgramFolder(path);
    return std::string(path);
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string folder = OwnProgramFolder();
  // The download folder the options window stored (any bytes but a line break).
  std::string downloadFolder = input.ConsumeRandomLengthString(24);
  if (qr::text::Contains(downloadFolder, "\r\n")) downloadFolder = "D:\\videos";
  const std::string config = std::string(qr::settings::kDownloadFolder) + downloadFolder + "\r\n";
  FUZZ_CHECK(qr::files::ReplaceFileBytes(qr::settings::ConfigPath(), config));
  const std::string importPath = qr::files::JoinPath(folder, "import.txt");
  FUZZ_CHECK(qr::files::ReplaceFileBytes(importPath, input.ConsumeRemainingBytesAsString()));

  qr::ui::HeadlessToolkit services;
  services.QueueOpenFile(importPath);
  qr::ui::ListView imported;
  imported.SetColumns(queue::QueueColumns());
  const int added = queue::ImportTasks(imported, services);
  FUZZ_CHECK(added == imported.RowCount());
  for (int row = 0; row < added; ++row) {
    FUZZ_CHECK(imported.Cell(row, queue::kColumnFolder) ==
               qr::settings::LookupSetting(config, qr::settings::kDownloadFolder));
    FUZZ_CHECK(imported.Cell(row, queue::kColumnState) == queue::kStateQueued);
  }

  // Saved and loaded again, no row is lost or changed (a folder with a comma
  // is no usable folder, see engine/name_rules.h).
  FUZZ_CHECK(queue::SaveQueue(imported));
  if (qr::text::Contains(downloadFolder, ",")) return 0;
  qr::ui::ListView loaded;
  loaded.SetColumns(queue::QueueColumns());
  queue::LoadQueue(loaded);
  FUZZ_CHECK(loaded.RowCount() == added);
  for (int row = 0; row < added; ++row) {
    for (int column : {queue::kColumnName, queue::kColumnAddress, queue::kColumnFolder}) {
      FUZZ_CHECK(loaded.Cell(row, column) == imported.Cell(row, column));
    }
  }
  return 0;
}
