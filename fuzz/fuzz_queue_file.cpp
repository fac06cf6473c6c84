// download.ini on arbitrary bytes: loaded into the queue list, saved, loaded again.
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "queue/download_task.h"
#include "queue/queue_file.h"
#include "runtime/files.h"

namespace queue = qr::queue;

namespace {

// A program folder of this process's own, so the queue file is ours.
void UseOwnProgramFolder() {
  static const bool done = [] {
    char folder[] = "/tmp/quillreel-fuzz-queue-XXXXXX";
    FUZZ_CHECK(mkdtemp(folder) != nullptr);
    qr::files::SetProgramFolder(folder);
    return true;
  }();
  (void)done;
}

void LoadInto(qr::ui::ListView& list) {
  list.SetColumns(queue::QueueColumns());
  queue::LoadQueue(list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  UseOwnProgramFolder();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(qr::files::ReplaceFileBytes(queue::QueueFilePath(), bytes));

  qr::ui::ListView first;
  LoadInto(first);
  FUZZ_CHECK(queue::SaveQueue(first));
  const std::string saved = qr::files::ReadFileBytes(queue::QueueFilePath());
  FUZZ_CHECK(saved == queue::FormatQueueFile(first.Rows()));

  // Every row comes back with its name, address and folder, as queued.
  qr::ui::ListView second;
  LoadInto(second);
  FUZZ_CHECK(second.RowCount() == first.RowCount());
  for (int row = 0; row < first.RowCount(); ++row) {
    for (int column : {queue::kColumnName, queue::kColumnAddress, queue::kColumnFolder}) {
      FUZZ_CHECK(second.Cell(row, column) == first.Cell(row, column));
    }
    FUZZ_CHECK(second.Cell(row, queue::kColumnState) == queue::kStateQueued);
  }
  FUZZ_CHECK(queue::SaveQueue(second));
  FUZZ_CHECK(qr::files::ReadFileBytes(queue::QueueFilePath()) == saved);
  return 0;
}
