#include "app/app_log.h"

#include <atomic>
#include <utility>

#include "queue/download_task.h"
#include "runtime/text.h"
#include "settings/date_format.h"

namespace qr::app {

namespace {

// The installed log and the lock its lines are written under. AppendLog
// looks the log up only once it holds that lock, so a log taken away under
// the lock is never reached afterwards.
std::atomic<AppLog*> programLog{nullptr};
std::atomic<qr::concurrency::CriticalLock*> programLock{nullptr};

}  // namespace

std::vector<qr::ui::ListColumn> LogColumns() { return {{"序号", 50}, {"日志记录", 500}}; }

std::string HourMinuteNow() { return qr::settings::FormatDateTime(qr::settings::NowAsDateValue(), {}, "HH:mm"); }

AppLog::AppLog(qr::concurrency::CriticalLock& lock, qr::ui::ListView& queue, qr::ui::ListView& log,
               std::function<std::string()> clockText)
    : lock_(lock), queue_(queue), log_(log), clockText_(clockText ? std::move(clockText) : HourMinuteNow) {}

std::string AppLog::Line(std::string_view message) const {
  std::string line = "[";
  line += clockText_();
  line += "] ";
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

void SetProgramLog(AppLog* log) {
  if (log != nullptr) {
    programLock = &log->lock_;
    programLog = log;
    return;
  }
  qr::concurrency::CriticalLock* lock = programLock.load();
  if (lock == nullptr) return;
  qr::concurrency::CriticalSection section(*lock);
  programLog = nullptr;
  programLock = nullptr;
}

void AppendLog(std::string_view message) {
  qr::concurrency::CriticalLock* lock = programLock.load();
  if (lock == nullptr) return;
  qr::concurrency::CriticalSection section(*lock);
  // Another log with another lock may have come meanwhile.
  if (programLock.load() != lock) return;
  if (AppLog* log = programLog.load()) log->Append(message);
}

}  // namespace qr::app
