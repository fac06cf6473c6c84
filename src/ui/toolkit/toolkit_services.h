// What the app logic needs from a person or the operating system, behind one
// interface that each backend implements. All texts and paths are code page
// 936 text; the backend converts to and from the toolkit's own strings.
#pragma once

#include <functional>
#include <string>

#include "ui/toolkit/form_model.h"

namespace qr::ui {

// Message box styles and answers, with the values of the Windows message box
// so that styles such as 16 (error icon) or 64 (information icon) read the same.
namespace message_box {
inline constexpr int kOk = 0x0;
inline constexpr int kOkCancel = 0x1;
inline constexpr int kYesNo = 0x4;
inline constexpr int kIconError = 0x10;
inline constexpr int kIconQuestion = 0x20;
inline constexpr int kIconWarning = 0x30;
inline constexpr int kIconInformation = 0x40;
inline constexpr int kTaskModal = 0x2000;
inline constexpr int kButtonMask = 0xF;
inline constexpr int kIconMask = 0xF0;

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
}  // namespace message_box

struct MessageRequest {
  std::string text;
  std::string title;
  int style = message_box::kOk;
  bool ownedByMainWindow = true;  // false: no owner window (task-modal when kTaskModal is set)
};

struct FileDialogRequest {
  // The program's filter form: "description|pattern|description|pattern", e.g.
  // "文本文件(*.txt)|*.txt|所有文件(*.*)|*.*".
  std::string filter;
  std::string initialFolder;
  std::string title;  // empty: the toolkit's default title
};

// Threads: every member runs on the window thread, except the two that any
// thread may call and that never wait for the window thread:
// PostToWindowThread and SetClipboardText (off the window thread it is
// posted). Code on other threads reaches everything else by posting work,
// never by waiting for the window thread, which may itself be waiting for
// that code or may have left its event loop.
class ToolkitServices {
 public:
  virtual ~ToolkitServices() = default;

  // Modal message box on the window thread; returns one of message_box::kAnswer*.
  virtual int ShowMessage(const MessageRequest& request) = 0;

  virtual std::string ClipboardText() = 0;
  // Any thread.
  virtual void SetClipboardText(const std::string& text) = 0;

  // The chosen path, or empty when the person cancelled.
  virtual std::string ChooseOpenFile(const FileDialogRequest& request) = 0;
  virtual std::string ChooseSaveFile(const FileDialogRequest& request) = 0;
  virtual std::string ChooseFolder(const std::string& title, const std::string& initialFolder) = 0;

  // Window thread: shows `form` as a modal window owned by the main window
  // (or by the form open above it), calls events.OnFormOpened before it is
  // shown, and returns once the form is closed, by the logic (FormModel::Close)
  // or by the person (FormEvents::OnClosedByUser). Dialogs asked for while it
  // runs (messages, the folder chooser) are owned by the form.
  virtual void RunModalForm(FormModel& form, FormEvents& events) = 0;

  // Opens a folder (or any path) with the system's default action, i.e. in the file manager.
  virtual void OpenWithShell(const std::string& path) = 0;

  // Pops up top-level menu `menuIndex` of the main window's menu bar (a hidden
  // one such as the tray menu) at the mouse position; a chosen item arrives as
  // WindowEvents::OnMenuCommand.
  virtual void ShowPopupMenu(int menuIndex) = 0;

  // Any thread: runs `work` on the window thread soon, in posting order.
  virtual void PostToWindowThread(std::function<void()> work) = 0;
  // Window thread: handles whatever events are pending, then returns.
  virtual void ProcessPendingMessages() = 0;
  // Ends the event loop; the program then leaves with `exitCode`. Asked more
  // than once, the first request's code stands.
  virtual void QuitEventLoop(int exitCode) = 0;
};

}  // namespace qr::ui
