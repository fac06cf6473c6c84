// One copy of the program's start-up over the headless backend, for the
// two-process single-instance test: single_instance_probe <runtime folder>
// <program folder>. A first copy prints "ready" and waits (at most 20 s) to be
// asked to come to the front, then prints "raised <count>". A later copy
// prints every message box it showed as "message <text>|<title>|<style>" in
// UTF-8 and ends with the start-up's exit code.
#include <chrono>
#include <cstdio>

#include "app/main_window.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "ui/headless/headless_toolkit.h"
#include "ui/headless/headless_window.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  qr::files::SetProgramFolder(argv[2]);
  qr::app::ProcessObjects objects;
  qr::ui::HeadlessToolkit toolkit;
  qr::app::MainWindow window(objects, toolkit, qr::app::MakeSingleInstance(qr::app::kInstanceName, argv[1]));
  qr::ui::HeadlessWindow view(window.Model(), window, toolkit);
  window.Model().window.Subscribe([&toolkit](const qr::ui::WindowChange& change) {
    if (change.kind == qr::ui::WindowChange::Kind::kRaise) toolkit.QuitEventLoop(0);
  });

  if (!view.Create()) {
    for (const auto& message : toolkit.ShownMessages()) {
      std::printf("message %s|%s|%d\n", qr::codepage::GbkToUtf8(message.text).c_str(),
                  qr::codepage::GbkToUtf8(message.title).c_str(), message.style);
    }
    return toolkit.ExitCode();
  }
  std::printf("ready\n");
  std::fflush(stdout);
  if (!toolkit.RunUntilQuit(std::chrono::seconds(20))) {
    std::printf("timeout\n");
    return 3;
  }
  std::printf("raised %d\n", window.Model().window.RaiseRequests());
  return 0;
}
