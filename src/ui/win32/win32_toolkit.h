// The toolkit services on Win32: message boxes, clipboard, the common file
// dialogs, the folder browser, the shell, and work posted to the window
// thread. Create it on the window thread, before the main window.
//
// Made with `answerMessagesItself`, message boxes answer themselves (OK, or
// Yes) without showing: each is written to standard error as one UTF-8 line
// "message <text>|<title>|<style>". Only the test copies of the programs ask
// for it (apps/common/auto_answer_switch.h), since nobody is there to press
// the button.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ui/toolkit/toolkit_services.h"

namespace qr::ui::win32 {

// What the services need of the main window.
class PopupMenuHost {
 public:
  virtual ~PopupMenuHost() = default;
  virtual HWND Handle() const = 0;
  virtual void PopupMenu(int menuIndex) = 0;
};

class Win32Toolkit : public ToolkitServices {
 public:
  explicit Win32Toolkit(bool answerMessagesItself = false);
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  // The main window registers itself while it exists (nullptr: none).
  void SetMainWindow(PopupMenuHost* window);

  // The exit code given to QuitEventLoop (0 when never called).
  int ExitCode() const;

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

 private:
  static LRESULT CALLBACK WorkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RunPostedWork();
  // The owner of dialogs: the topmost open form, else the main window.
  HWND Owner() const;
  std::string ChooseFile(const FileDialogRequest& request, bool save);

  HWND workWindow_ = nullptr;  // message-only window of the window thread
  DWORD windowThread_ = 0;
  bool autoAnswer_ = false;
  PopupMenuHost* mainWindow_ = nullptr;
  std::vector<HWND> forms_;  // the forms running, the topmost last

  mutable std::mutex mutex_;
  std::deque<std::function<void()>> posted_;
  bool workMessagePending_ = false;
  bool quitRequested_ = false;
  int exitCode_ = 0;
};

}  // namespace qr::ui::win32
