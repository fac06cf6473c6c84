#include "ui/win32/win32_toolkit.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <utility>
#include <vector>

#include "concurrency/pumping_wait.h"
#include "runtime/text.h"
#include "ui/toolkit/message_auto_answer.h"
#include "ui/win32/form_window.h"
#include "ui/win32/wide_text.h"

namespace qr::ui::win32 {

namespace {

constexpr UINT kRunPostedWork = WM_APP + 1;
constexpr wchar_t kWorkWindowClass[] = L"QuillreelPostedWork";
constexpr DWORD kPathBufferLength = 32768;

void WriteStandardError(const std::string& utf8) {
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(error, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

int CALLBACK SelectInitialFolder(HWND dialog, UINT message, LPARAM /*lParam*/, LPARAM data) {
  const auto* folder = reinterpret_cast<const std::wstring*>(data);
  if (message == BFFM_INITIALIZED && folder != nullptr && !folder->empty()) {
    SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder->c_str()));
  }
  return 0;
}

}  // namespace

Win32Toolkit::Win32Toolkit(bool answerMessagesItself)
    : windowThread_(GetCurrentThreadId()), autoAnswer_(answerMessagesItself) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WorkWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWorkWindowClass;
  RegisterClassExW(&windowClass);  // fails harmlessly when a second toolkit registers again
  workWindow_ = CreateWindowExW(0, kWorkWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  SetWindowLongPtrW(workWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Toolkit::~Win32Toolkit() {
  if (workWindow_ != nullptr) {
    SetWindowLongPtrW(workWindow_, GWLP_USERDATA, 0);
    DestroyWindow(workWindow_);
  }
}

void Win32Toolkit::SetMainWindow(PopupMenuHost* window) { mainWindow_ = window; }

int Win32Toolkit::ExitCode() const {
  std::lock_guard guard(mutex_);
  return exitCode_;
}

HWND Win32Toolkit::Owner() const {
  if (!forms_.empty()) return forms_.back();
  return mainWindow_ != nullptr ? mainWindow_->Handle() : nullptr;
}

int Win32Toolkit::ShowMessage(const MessageRequest& request) {
  if (autoAnswer_) {
    WriteStandardError(AutoAnsweredMessageLine(request));
    return DefaultMessageAnswer(request.style);
  }
  HWND owner = request.ownedByMainWindow ? Owner() : nullptr;
  return MessageBoxW(owner, Wide(request.text).c_str(), Wide(request.title).c_str(), static_cast<UINT>(request.style));
}

std::string Win32Toolkit::ClipboardText() {
  std::string text;
  if (!OpenClipboard(Owner())) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data)); wide != nullptr) {
      text = Narrow(wide);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void Win32Toolkit::SetClipboardText(const std::string& text) {
  const std::wstring wide = Wide(text);
  const SIZE_T bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return;
  if (void* target = GlobalLock(memory); target != nullptr) {
    CopyMemory(target, wide.c_str(), bytes);
    GlobalUnlock(memory);
  }
  if (!OpenClipboard(Owner())) {
    GlobalFree(memory);
    return;
  }
  EmptyClipboard();
  if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);  // else the clipboard owns it
  CloseClipboard();
}

std::string Win32Toolkit::ChooseFile(const FileDialogRequest& request, bool save) {
  const std::wstring filter = DialogFilter(request.filter);
  const std::wstring folder = Wide(request.initialFolder);
  const std::wstring title = Wide(request.title);
  std::vector<wchar_t> path(kPathBufferLength, L'\0');

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Owner();
  dialog.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathBufferLength;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
  // No overwrite prompt on save: the export appends to what the file holds.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | (save ? 0 : OFN_FILEMUSTEXIST);
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  return chosen ? Narrow(path.data()) : std::string();
}

std::string Win32Toolkit::ChooseOpenFile(const FileDialogRequest& request) { return ChooseFile(request, false); }

std::string Win32Toolkit::ChooseSaveFile(const FileDialogRequest& request) { return ChooseFile(request, true); }

std::string Win32Toolkit::ChooseFolder(const std::string& title, const std::string& initialFolder) {
  const std::wstring wideTitle = Wide(title.empty() ? std::string("请选择一个文件夹") : title);
  const std::wstring folder = Wide(initialFolder);
  BROWSEINFOW browse{};
  browse.hwndOwner = Owner();
  browse.lpszTitle = wideTitle.c_str();
  browse.ulFlags = BIF_NEWDIALOGSTYLE;
  browse.lpfn = SelectInitialFolder;
  browse.lParam = reinterpret_cast<LPARAM>(&folder);
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
  if (item == nullptr) return {};
  std::vector<wchar_t> path(kPathBufferLength, L'\0');
  const bool hasPath = SHGetPathFromIDListEx(item, path.data(), kPathBufferLength, GPFIDL_DEFAULT);
  CoTaskMemFree(item);
  return hasPath ? qr::text::Trim(Narrow(path.data())) : std::string();
}

void Win32Toolkit::RunModalForm(FormModel& form, FormEvents& events) {
  FormWindow window(form, events, Owner(), [this](const std::string& address) { OpenWithShell(address); });
  forms_.push_back(window.Handle());
  window.Run();
  forms_.pop_back();
}

void Win32Toolkit::OpenWithShell(const std::string& path) {
  ShellExecuteW(nullptr, nullptr, Wide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Toolkit::ShowPopupMenu(int menuIndex) {
  if (GetCurrentThreadId() != windowThread_) {
    PostToWindowThread([this, menuIndex] { ShowPopupMenu(menuIndex); });
    return;
  }
  if (mainWindow_ != nullptr) mainWindow_->PopupMenu(menuIndex);
}

void Win32Toolkit::PostToWindowThread(std::function<void()> work) {
  bool postMessage = false;
  {
    std::lock_guard guard(mutex_);
    posted_.push_back(std::move(work));
    postMessage = !workMessagePending_;
    workMessagePending_ = true;
  }
  // One message stands for everything queued since the last run, so a flood
  // of posts from busy threads cannot fill the thread's message queue.
  if (postMessage) PostMessageW(workWindow_, kRunPostedWork, 0, 0);
}

void Win32Toolkit::RunPostedWork() {
  // One item per message, and the message for the next one is posted before
  // this one runs: work that opens a dialog (a modal loop of its own) does not
  // hold up the work posted after it, and the order stays the posting order.
  std::function<void()> work;
  bool more = false;
  {
    std::lock_guard guard(mutex_);
    if (posted_.empty()) {
      workMessagePending_ = false;
      return;
    }
    work = std::move(posted_.front());
    posted_.pop_front();
    more = !posted_.empty();
    workMessagePending_ = more;
  }
  if (more) PostMessageW(workWindow_, kRunPostedWork, 0, 0);
  work();
}

void Win32Toolkit::ProcessPendingMessages() { qr::concurrency::ProcessPendingMessages(); }

void Win32Toolkit::QuitEventLoop(int exitCode) {
  if (GetCurrentThreadId() != windowThread_) {
    PostToWindowThread([this, exitCode] { QuitEventLoop(exitCode); });
    return;
  }
  {
    std::lock_guard guard(mutex_);
    if (quitRequested_) return;  // the first request's exit code stands
    quitRequested_ = true;
    exitCode_ = exitCode;
  }
  PostQuitMessage(exitCode);
}

LRESULT CALLBACK Win32Toolkit::WorkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunPostedWork) {
    if (auto* toolkit = reinterpret_cast<Win32Toolkit*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
      toolkit->RunPostedWork();
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace qr::ui::win32
