// The toolkit services without a display: dialogs answer from scripts that a
// test (or a console front end) queues beforehand, everything shown is
// recorded, and work posted to the window thread waits in a queue that the
// window thread drains.
#pragma once

#include <condition_variable>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "concurrency/pumping_wait.h"
#include "ui/toolkit/timer.h"
#include "ui/toolkit/toolkit_services.h"

namespace qr::ui {

class HeadlessToolkit : public ToolkitServices, public qr::concurrency::MessagePump {
 public:
  // Scripted answers, used in order. Without one a message box answers OK
  // (or Yes), and a file or folder dialog is cancelled.
  void QueueMessageAnswer(int answer);
  void QueueOpenFile(std::string path);
  void QueueSaveFile(std::string path);
  void QueueFolder(std::string path);
  // What the person does in the next modal form: the script runs after
  // OnFormOpened; a form the script leaves open is closed by the person
  // (OnClosedByUser). Without a script a form is closed at once.
  using FormScript = std::function<void(FormModel& form, FormEvents& events)>;
  void QueueFormScript(FormScript script);

  // What was shown.
  std::vector<MessageRequest> ShownMessages() const;
  std::vector<FileDialogRequest> OpenFileRequests() const;
  std::vector<FileDialogRequest> SaveFileRequests() const;
  std::vector<std::string> FolderRequests() const;  // the titles
  std::vector<std::string> ShellOpened() const;
  std::vector<int> PoppedUpMenus() const;
  std::vector<std::string> FormsShown() const;  // the titles

  // Fires the timers from the window thread's waits (WaitForEvents, so also
  // inside a pumping wait): each ticks once its interval has passed on a
  // clock running `speed` times as fast as the real one. A timer does not
  // tick again while its own tick runs. Call before the first wait; the
  // timers must outlive the toolkit's waits.
  void DriveTimers(std::vector<Timer*> timers, double speed = 1.0);

  // Runs the posted work on the calling thread until none is left (work
  // posted meanwhile included); returns how many items ran.
  int DrainPosted();
  // Runs posted work as it arrives until QuitEventLoop; false when `limit`
  // passed first.
  bool RunUntilQuit(std::chrono::milliseconds limit = std::chrono::hours(24));
  bool QuitRequested() const;
  int ExitCode() const;

  // ToolkitServices
  int ShowMessage(const MessageRequest& request) override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& text) override;
  std::string ChooseOpenFile(const FileDialogRequest& request) override;
  std::string ChooseSaveFile(const FileDialogRequest& request) override;
  std::string ChooseFolder(const std::string& title, const std::string& initialFolder) override;
  void RunModalForm(FormModel& form, FormEvents& events) override;
  void OpenWithShell(const std::string& path) override;
  void ShowPopupMenu(int menuIndex) override;
  void PostToWindowThread(std::function<void()> work) override;
  void ProcessPendingMessages() override;
  void QuitEventLoop(int exitCode) override;

  // MessagePump, so PumpingWait keeps posted work flowing on the window thread.
  void ProcessPending() override;
  void WaitForEvents(std::chrono::milliseconds limit) override;

 private:
  static std::string TakeFront(std::deque<std::string>& answers);
  struct DrivenTimer {
    Timer* timer = nullptr;
    std::chrono::steady_clock::duration period{};  // zero: stopped
    std::chrono::steady_clock::time_point due;
    bool ticking = false;
  };
  // Ticks every driven timer that is due; the lock is not held while ticking.
  void TickDueTimers();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<int> messageAnswers_;
  std::deque<std::string> openAnswers_;
  std::deque<std::string> saveAnswers_;
  std::deque<std::string> folderAnswers_;
  std::vector<MessageRequest> shownMessages_;
  std::vector<FileDialogRequest> openRequests_;
  std::vector<FileDialogRequest> saveRequests_;
  std::vector<std::string> folderRequests_;
  std::vector<std::string> shellOpened_;
  std::vector<int> poppedUpMenus_;
  std::deque<FormScript> formScripts_;
  std::vector<std::string> formsShown_;
  std::string clipboard_;
  std::deque<std::function<void()>> posted_;
  std::deque<DrivenTimer> timers_;
  double timerSpeed_ = 1.0;
  int timerChanges_ = 0;  // wakes a wait whose end a timer change may move
  bool quit_ = false;
  int exitCode_ = 0;
};

}  // namespace qr::ui
