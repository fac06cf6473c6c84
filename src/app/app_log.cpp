#include "app/app_log.h"

#include <atomic>
#include <ctime>
#include <utility>

#include "queue/download_task.h"
#include "runtime/text.h"

namespace qr::app {

namespace {

enum LogColumn : int { kLogNumber = 0, kLogLine = 1 };

std::atomic<AppLog*> programLog{nullptr};

}  // namespace

std::vector<qr::ui::ListColumn> LogColumns() { return {{"序号", 50}, {"日志记录", 500}}; }

// Stands in for the date formatter's "HH:mm" picture until that is part of the build.
std::string HourMinuteNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char text[8];
  std::strftime(text, sizeof text, "%H:%M", &local);
  return text;
}

AppLog::AppLog(qr::concurrency::CriticalLock& lock, qr::ui::ListView& queue, qr::ui::ListView& log,
               std::function<std::string()> clockText)
    : lock_(lock), queue_(queue), log_(log), clockText_(clockText ? std::move(clockText) : HourMinuteNow) {}

std::string AppLog::Line(std::string_view message) const {
  std::string line = "[" + clockText_() + "] ";
  line += message;
  return line;
}

void AppLog::Append(std::string_view message) {
  // One unit under the lock, so concurrent lines keep their order and numbers.
  qr::concurrency::CriticalSection section(lock_);
  queue_.SetCell(0, qr::queue::kColumnConnection, Line(message));  // no first row: nothing happens
  const int row = log_.AddRow({qr::text::FromInt(log_.RowCount() + 1), Line(message)});
  log_.EnsureVisible(row);
}

void AppLog::Clear() {
  qr::concurrency::CriticalSection section(lock_);
  log_.Clear();
}

void SetProgramLog(AppLog* log) { programLog = log; }

void AppendLog(std::string_view message) {
  if (AppLog* log = programLog.load()) log->Append(message);
}

}  // namespace qr::app
