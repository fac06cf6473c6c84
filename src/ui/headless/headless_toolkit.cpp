#include "ui/headless/headless_toolkit.h"

#include <utility>

#include "ui/toolkit/message_auto_answer.h"

namespace qr::ui {

void HeadlessToolkit::QueueMessageAnswer(int answer) {
  std::lock_guard guard(mutex_);
  messageAnswers_.push_back(answer);
}

void HeadlessToolkit::QueueOpenFile(std::string path) {
  std::lock_guard guard(mutex_);
  openAnswers_.push_back(std::move(path));
}

void HeadlessToolkit::QueueSaveFile(std::string path) {
  std::lock_guard guard(mutex_);
  saveAnswers_.push_back(std::move(path));
}

void HeadlessToolkit::QueueFolder(std::string path) {
  std::lock_guard guard(mutex_);
  folderAnswers_.push_back(std::move(path));
}

std::vector<MessageRequest> HeadlessToolkit::ShownMessages() const {
  std::lock_guard guard(mutex_);
  return shownMessages_;
}

std::vector<FileDialogRequest> HeadlessToolkit::OpenFileRequests() const {
  std::lock_guard guard(mutex_);
  return openRequests_;
}

std::vector<FileDialogRequest> HeadlessToolkit::SaveFileRequests() const {
  std::lock_guard guard(mutex_);
  return saveRequests_;
}

std::vector<std::string> HeadlessToolkit::FolderRequests() const {
  std::lock_guard guard(mutex_);
  return folderRequests_;
}

std::vector<std::string> HeadlessToolkit::ShellOpened() const {
  std::lock_guard guard(mutex_);
  return shellOpened_;
}

std::vector<int> HeadlessToolkit::PoppedUpMenus() const {
  std::lock_guard guard(mutex_);
  return poppedUpMenus_;
}

int HeadlessToolkit::DrainPosted() {
  int ran = 0;
  for (;;) {
    std::function<void()> work;
    {
      std::lock_guard guard(mutex_);
      if (posted_.empty()) return ran;
      work = std::move(posted_.front());
      posted_.pop_front();
    }
    work();
    ++ran;
  }
}

bool HeadlessToolkit::RunUntilQuit(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    DrainPosted();
    std::unique_lock lock(mutex_);
    if (quit_) return true;
    if (!wake_.wait_until(lock, deadline, [this] { return quit_ || !posted_.empty(); })) return false;
  }
}

bool HeadlessToolkit::QuitRequested() const {
  std::lock_guard guard(mutex_);
  return quit_;
}

int HeadlessToolkit::ExitCode() const {
  std::lock_guard guard(mutex_);
  return exitCode_;
}

int HeadlessToolkit::ShowMessage(const MessageRequest& request) {
  std::lock_guard guard(mutex_);
  shownMessages_.push_back(request);
  if (!messageAnswers_.empty()) {
    const int answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer;
  }
  return DefaultMessageAnswer(request.style);
}

std::string HeadlessToolkit::ClipboardText() {
  std::lock_guard guard(mutex_);
  return clipboard_;
}

void HeadlessToolkit::SetClipboardText(const std::string& text) {
  std::lock_guard guard(mutex_);
  clipboard_ = text;
}

std::string HeadlessToolkit::ChooseOpenFile(const FileDialogRequest& request) {
  std::lock_guard guard(mutex_);
  openRequests_.push_back(request);
  return TakeFront(openAnswers_);
}

std::string HeadlessToolkit::ChooseSaveFile(const FileDialogRequest& request) {
  std::lock_guard guard(mutex_);
  saveRequests_.push_back(request);
  return TakeFront(saveAnswers_);
}

std::string HeadlessToolkit::ChooseFolder(const std::string& title, const std::string& /*initialFolder*/) {
  std::lock_guard guard(mutex_);
  folderRequests_.push_back(title);
  return TakeFront(folderAnswers_);
}

void HeadlessToolkit::QueueFormScript(FormScript script) {
  std::lock_guard guard(mutex_);
  formScripts_.push_back(std::move(script));
}

std::vector<std::string> HeadlessToolkit::FormsShown() const {
  std::lock_guard guard(mutex_);
  return formsShown_;
}

void HeadlessToolkit::RunModalForm(FormModel& form, FormEvents& events) {
  FormScript script;
  {
    std::lock_guard guard(mutex_);
    formsShown_.push_back(form.Title());
    if (!formScripts_.empty()) {
      script = std::move(formScripts_.front());
      formScripts_.pop_front();
    }
  }
  events.OnFormOpened();
  if (script && !form.IsClosed()) script(form, events);
  if (!form.IsClosed()) {
    events.OnClosedByUser();
    form.Close(false);
  }
}

void HeadlessToolkit::OpenWithShell(const std::string& path) {
  std::lock_guard guard(mutex_);
  shellOpened_.push_back(path);
}

void HeadlessToolkit::ShowPopupMenu(int menuIndex) {
  std::lock_guard guard(mutex_);
  poppedUpMenus_.push_back(menuIndex);
}

void HeadlessToolkit::PostToWindowThread(std::function<void()> work) {
  {
    std::lock_guard guard(mutex_);
    posted_.push_back(std::move(work));
  }
  wake_.notify_all();
}

void HeadlessToolkit::ProcessPendingMessages() { DrainPosted(); }

void HeadlessToolkit::QuitEventLoop(int exitCode) {
  {
    std::lock_guard guard(mutex_);
    if (!quit_) exitCode_ = exitCode;
    quit_ = true;
  }
  wake_.notify_all();
}

void HeadlessToolkit::ProcessPending() { DrainPosted(); }

void HeadlessToolkit::DriveTimers(std::vector<Timer*> timers, double speed) {
  {
    std::lock_guard guard(mutex_);
    timerSpeed_ = speed > 0 ? speed : 1.0;
  }
  for (Timer* timer : timers) {
    DrivenTimer* driven = nullptr;
    {
      std::lock_guard guard(mutex_);
      driven = &timers_.emplace_back();
      driven->timer = timer;
    }
    // Every SetInterval, the same value included, starts a new period.
    timer->Subscribe([this, driven](const TimerChange& change) {
      {
        std::lock_guard guard(mutex_);
        const auto real = std::chrono::duration<double, std::milli>(change.intervalMs / timerSpeed_);
        driven->period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(real);
        driven->due = std::chrono::steady_clock::now() + driven->period;
        ++timerChanges_;
      }
      wake_.notify_all();
    });
  }
}

void HeadlessToolkit::TickDueTimers() {
  for (;;) {
    DrivenTimer* due = nullptr;
    {
      std::lock_guard guard(mutex_);
      const auto now = std::chrono::steady_clock::now();
      for (auto& driven : timers_) {
        if (driven.period.count() > 0 && !driven.ticking && driven.due <= now) {
          due = &driven;
          break;
        }
      }
      if (due == nullptr) return;
      due->ticking = true;
      due->due = now + due->period;
    }
    due->timer->Tick();
    std::lock_guard guard(mutex_);
    due->ticking = false;
  }
}

void HeadlessToolkit::WaitForEvents(std::chrono::milliseconds limit) {
  {
    std::unique_lock lock(mutex_);
    auto until = std::chrono::steady_clock::now() + limit;
    for (const auto& driven : timers_) {
      if (driven.period.count() > 0 && !driven.ticking && driven.due < until) until = driven.due;
    }
    const int changes = timerChanges_;
    wake_.wait_until(lock, until, [this, changes] { return !posted_.empty() || timerChanges_ != changes; });
  }
  TickDueTimers();
}

std::string HeadlessToolkit::TakeFront(std::deque<std::string>& answers) {
  if (answers.empty()) return {};
  std::string answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

}  // namespace qr::ui
