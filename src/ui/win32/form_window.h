// A FormModel shown as a modal Win32 window of the program's own class, with
// a nested message loop (IsDialogMessage gives Tab, arrow keys and Escape).
// Every control is a child of the form at its place in client pixels; the
// controls of a tab page are siblings above the tab control and show only
// while their page is current.
//
// Model changes made on the window thread apply at once; changes made on
// another thread only note what changed and post one message, and the window
// thread then refreshes from the model, so a late record never wins.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "ui/toolkit/form_model.h"

namespace qr::ui::win32 {

inline constexpr wchar_t kFormWindowClass[] = L"QuillreelForm";
// Control i of the form has the id kFirstFormControlId + i (clear of IDOK and IDCANCEL).
inline constexpr int kFirstFormControlId = 100;

class FormWindow {
 public:
  // Creates the window and its controls hidden, with the design defaults.
  // `openAddress` opens a link control's address with the shell.
  FormWindow(FormModel& model, FormEvents& events, HWND owner, std::function<void(const std::string&)> openAddress);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  HWND Handle() const { return window_; }

  // OnFormOpened, then shows the form with its owner disabled and runs the
  // messages until the form is closed; a WM_QUIT closes it as the person would
  // and is posted again for the loop outside.
  void Run();

 private:
  struct Control {
    HWND handle = nullptr;
    std::uint32_t background = kWhite;  // edit boxes
    WNDPROC originalProc = nullptr;     // subclassed controls
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int index, int code);
  LRESULT OnControlColour(HDC dc, HWND control, UINT message, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  HWND CreateControl(int index);
  void PlaceWindow(int x, int y);
  void Unsubscribe();

  void OnModelChange(const FormChange& change);
  void SyncPending();
  void Apply(const FormChange& change);
  void ApplyControl(int index, const ControlState& state);
  void ShowCurrentPage();
  void CloseWindow();
  void UserClose();

  // Screen to model: the control's state as the window shows it now.
  void WriteBack(int index, bool pickedFromList = false);
  int IndexOf(HWND control) const;
  HBRUSH Brush(std::uint32_t rgb);

  FormModel& model_;
  FormEvents& events_;
  HWND owner_;
  std::function<void(const std::string&)> openAddress_;
  DWORD windowThread_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HFONT linkFont_ = nullptr;
  std::vector<Control> controls_;  // by control index
  std::map<std::uint32_t, HBRUSH> brushes_;
  int tabs_ = -1;
  int subscription_ = 0;
  bool applying_ = false;  // notifications caused by the model are not written back
  bool closed_ = false;

  std::mutex pendingMutex_;
  std::set<int> pendingControls_;
  bool pendingPosition_ = false;
  bool pendingClose_ = false;
  bool syncPosted_ = false;
};

}  // namespace qr::ui::win32
