// The toolkit services on Qt Widgets: message boxes, clipboard, file and
// folder dialogs, the desktop's file manager, work posted to the window
// thread, and the event pump that lets PumpingWait keep the window alive.
// Create it on the window thread after the QApplication.
//
// Made with `answerMessagesItself`, message boxes answer themselves (OK, or
// Yes) without showing: each is written to standard error as one UTF-8 line
// "message <text>|<title>|<style>". Only the test copies of the programs ask
// for it (apps/common/auto_answer_switch.h), since nobody is there to press
// the button.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

#include "concurrency/pumping_wait.h"
#include "ui/toolkit/toolkit_services.h"

namespace qr::ui::qt {

class QtMainWindow;

class QtToolkit : public ToolkitServices, public qr::concurrency::MessagePump {
 public:
  // Installs itself as the message pump of the calling thread.
  explicit QtToolkit(bool answerMessagesItself = false);
  ~QtToolkit() override;
  QtToolkit(const QtToolkit&) = delete;
  QtToolkit& operator=(const QtToolkit&) = delete;

  // The owner of dialogs and the source of popup menus; null: none.
  void AttachWindow(QtMainWindow* window) { window_ = window; }

  // The exit code the first QuitEventLoop asked for (0 when it was never called).
  int ExitCode() const { return exitCode_; }

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

  // MessagePump
  void ProcessPending() override;
  void WaitForEvents(std::chrono::milliseconds limit) override;

 private:
  bool OnWindowThread() const;
  // Runs `work` on the window thread and waits for it (directly when already there).
  void RunOnWindowThread(const std::function<void()>& work);
  // Asks for a text on the window thread (a dialog, the clipboard) and converts it.
  std::string TextFromWindowThread(const std::function<QString()>& ask);
  // The topmost open form, else the main window; null when not owned by the main window.
  QWidget* Owner(bool ownedByMainWindow) const;

  std::unique_ptr<QObject> dispatcher_;
  QtMainWindow* window_ = nullptr;
  std::vector<QWidget*> forms_;  // the forms running, the topmost last
  qr::concurrency::MessagePump* previousPump_ = nullptr;
  std::mutex quitMutex_;
  bool quitRequested_ = false;
  std::atomic<int> exitCode_{0};
  bool autoAnswer_ = false;
};

// The Qt message box icon and buttons for a message box style, and the
// program's answer for the button pressed.
QMessageBox::Icon MessageIcon(int style);
QMessageBox::StandardButtons MessageButtons(int style);
int MessageAnswer(QMessageBox::StandardButton pressed);

}  // namespace qr::ui::qt
