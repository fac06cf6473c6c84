// The writers and the reader of the crash test (crash_test.sh), on the
// program's own code, in the program folder QUILLREEL_PROGRAM_FOLDER names:
//   crash_probe options-loop   writes config.a and config.b (config.ini as
//                              the options window saves two settings sets),
//                              then "ready", then saves the two sets into
//                              config.ini through the options window's OK,
//                              one after the other, until it is killed;
//   crash_probe queue-loop     loads download.ini, writes "ready", then saves
//                              the queue with and without one extra row,
//                              one after the other, until it is killed;
//   crash_probe count-queue    prints how many tasks the queue loader finds.
#include <cstdio>
#include <string>

#include "app/options_window.h"
#include "queue/download_task.h"
#include "queue/queue_file.h"
#include "runtime/files.h"
#include "settings/setting_lookup.h"
#include "ui/headless/headless_toolkit.h"

namespace {

using qr::ui::FormModel;

std::string InProgramFolder(const char* name) { return qr::files::JoinPath(qr::files::ProgramFolder(), name); }

// Every kind of control differs between the two sets, so a file holding one
// section of each shows up as neither.
void SetUpSettings(FormModel& form, bool second) {
  namespace options = qr::app::options;
  qr::ui::ControlState threads = form.State(form.Find(options::kThreadsCombo));
  threads.selected = second ? 9 : 3;
  threads.text = second ? "99" : "4";
  form.SetState(form.Find(options::kThreadsCombo), threads);
  form.SetText(options::kFolderBox, second ? "/videos/乙" : "/videos/甲");
  form.SetChecked(options::kMergeBox, !second);
  form.SetChecked(options::kMinimiseRadio, second);
  form.SetChecked(options::kExitRadio, !second);
}

void SaveSettings(qr::ui::HeadlessToolkit& toolkit, bool second) {
  toolkit.QueueFormScript([second](FormModel& form, qr::ui::FormEvents& events) {
    SetUpSettings(form, second);
    events.OnClicked(qr::app::options::kOkButton);
  });
  qr::app::OptionsWindow(toolkit, {50, 50, 584, 464}, "").Run();
}

int OptionsLoop() {
  qr::ui::HeadlessToolkit toolkit;
  const std::string config = qr::settings::ConfigPath();
  for (const char* reference : {"config.a", "config.b"}) {
    qr::files::RemoveFile(config);
    SaveSettings(toolkit, reference[7] == 'b');
    qr::files::WriteFileBytes(InProgramFolder(reference), qr::files::ReadFileBytes(config));
  }
  qr::files::WriteFileBytes(InProgramFolder("ready"), "");
  for (bool second = false;; second = !second) SaveSettings(toolkit, second);
}

void LoadInto(qr::ui::ListView& queue) {
  queue.SetColumns(qr::queue::QueueColumns());
  qr::queue::LoadQueue(queue);
}

int QueueLoop() {
  qr::ui::ListView queue;
  LoadInto(queue);
  qr::files::WriteFileBytes(InProgramFolder("ready"), "");
  for (;;) {
    const int extra = queue.AddRow(qr::queue::QueuedTaskRow("多一行", "http://127.0.0.1:9/extra.m3u8", "/videos"));
    qr::queue::SaveQueue(queue);
    queue.DeleteRow(extra);
    qr::queue::SaveQueue(queue);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "options-loop") return OptionsLoop();
  if (command == "queue-loop") return QueueLoop();
  if (command == "count-queue") {
    qr::ui::ListView queue;
    LoadInto(queue);
    std::printf("%d\n", queue.RowCount());
    return 0;
  }
  std::fprintf(stderr, "usage: crash_probe options-loop|queue-loop|count-queue\n");
  return 2;
}
