// The program log: every part of the program reports through AppendLog, from
// any thread. A line "[HH:mm] message" goes into the connection-state cell of
// the first queue row and as a new numbered row into the log list.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "concurrency/critical_lock.h"
#include "ui/toolkit/list_view.h"

namespace qr::app {

// The log list's columns.
std::vector<qr::ui::ListColumn> LogColumns();

class AppLog {
 public:
  // `clockText` gives the current time as "HH:mm"; empty: the local clock.
  AppLog(qr::concurrency::CriticalLock& lock, qr::ui::ListView& queue, qr::ui::ListView& log,
         std::function<std::string()> clockText = {});

  void Append(std::string_view message);
  // Empties the log list; numbering starts again at 1.
  void Clear();

 private:
  std::string Line(std::string_view message) const;
  friend void SetProgramLog(AppLog* log);

  qr::concurrency::CriticalLock& lock_;
  qr::ui::ListView& queue_;
  qr::ui::ListView& log_;
  std::function<std::string()> clockText_;
};

// The current local time as "HH:mm" on the 24-hour clock.
std::string HourMinuteNow();

// Makes `log` the target of AppendLog (nullptr: none; lines are then dropped).
// Taking the log away waits for a line being written and keeps every later
// line, also one already on its way from another thread, out of it; the
// log's lock must outlive every thread that may still write a line.
void SetProgramLog(AppLog* log);
// Writes one line to the program log, from any thread.
void AppendLog(std::string_view message);

}  // namespace qr::app
