// How fast log lines reach the Qt list on the screen. A worker thread appends
// rows the way the program log does (a row, then "scroll to it"), either all
// at once or one at a time with the window thread painting in between, and
// the time until the list shows them all is printed per size.
// Run with QT_QPA_PLATFORM=offscreen where there is no display.
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "ui/qt/qt_list_binding.h"

namespace {

// A log list bound to a shown table view.
struct LogList {
  LogList() {
    // The columns come before the binding, as in the program.
    model.SetColumns({{"序号", 50}, {"日志记录", 500}});
    binding = std::make_unique<qr::ui::qt::QtListBinding>(model, view, nullptr);
    view.show();
  }
  void Append(int i) {
    const int row = model.AddRow({std::to_string(i + 1), "[09:05] 分段 " + std::to_string(i) + " 下载完成"});
    model.EnsureVisible(row);
  }

  qr::ui::ListView model;
  QTableView view;
  std::unique_ptr<qr::ui::qt::QtListBinding> binding;
};

long long Burst(QApplication& app, int rows) {
  LogList list;
  QElapsedTimer clock;
  clock.start();
  std::thread worker([&] {
    for (int i = 0; i < rows; ++i) list.Append(i);
  });
  worker.join();
  while (list.view.model()->rowCount() < rows) app.processEvents();
  app.processEvents();
  return clock.elapsed();
}

long long OneByOne(QApplication& app, int rows) {
  LogList list;
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < rows; ++i) {
    list.Append(i);
    app.processEvents();
  }
  return clock.elapsed();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int largest = argc > 1 ? std::atoi(argv[1]) : 10000;
  for (int rows = largest / 4; rows <= largest; rows *= 2) {
    std::printf("%6d rows: burst %5lld ms, one by one %6lld ms\n", rows, Burst(app, rows), OneByOne(app, rows));
  }
  return 0;
}
