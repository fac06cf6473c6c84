// The program's main window on Win32: a menu bar, a toolbar, below it a tab
// control whose pages each show one report-style list (starting at the
// window's left edge), window timers and the notification-area icon, all
// mirrored from a MainWindowModel. User actions become WindowEvents calls.
//
// The models may change on any thread. Their listeners only note what
// changed and post one private message to the window; the window thread then
// brings the controls up to the models' current state.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "ui/toolkit/main_window_model.h"
#include "ui/toolkit/window_events.h"
#include "ui/win32/win32_toolkit.h"

namespace qr::ui::win32 {

class ListControl;
class MenuControl;
class ToolbarControl;
class TrayControl;

// Control ids of the main window's children.
inline constexpr int kToolbarId = 1001;
inline constexpr int kPageTabsId = 1002;
inline constexpr int kFirstListId = 1010;  // the list of page i has id kFirstListId + i
inline constexpr int kFirstToolbarCommand = 40000;
// The notification-area icon reports its mouse actions with this message (lParam: the mouse message).
inline constexpr UINT kTrayCallbackMessage = WM_APP + 11;

class Win32Window : public PopupMenuHost {
 public:
  Win32Window(MainWindowModel& model, WindowEvents& events, Win32Toolkit& toolkit);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // Creates the window hidden and calls OnCreated; shows it when that
  // allows, otherwise destroys it again (without OnDestroyed) and returns false.
  bool Create();
  // Create, then `afterCreate` (when the window may stay), then the message
  // loop until the window is destroyed; returns the exit code.
  int Run(const std::function<void()>& afterCreate = {});

  // PopupMenuHost
  HWND Handle() const override { return window_; }
  void PopupMenu(int menuIndex) override;

 private:
  enum Pending : unsigned {
    kWindowState = 1u << 0,
    kRaise = 1u << 1,
    kDestroy = 1u << 2,
    kMenu = 1u << 3,
    kToolbar = 1u << 4,
    kPages = 1u << 5,
    kTray = 1u << 6,
  };
  struct PendingWork {
    unsigned flags = 0;
    std::vector<bool> lists;
    std::vector<bool> listScrolls;
    std::vector<bool> timers;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(const NMHDR& header);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  void OnSize(WPARAM kind);
  void OnDestroy();

  void CreateChildren();
  void Subscribe();
  void Unsubscribe();
  void Layout();

  // Any thread: notes work for the window thread and makes sure one sync message is on its way.
  void Request(unsigned flags, int list = -1, bool scroll = false, int timer = -1);
  void SyncPending();
  void SyncWindowState();
  void SyncPages();
  void SyncTimer(int index);
  void Raise();

  MainWindowModel& model_;
  WindowEvents& events_;
  Win32Toolkit& toolkit_;

  HWND window_ = nullptr;
  HWND tabs_ = nullptr;
  HFONT uiFont_ = nullptr;
  std::vector<HFONT> listFonts_;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  UINT taskbarCreated_ = 0;
  std::unique_ptr<MenuControl> menu_;
  std::unique_ptr<ToolbarControl> toolbar_;
  std::vector<std::unique_ptr<ListControl>> lists_;  // by page
  std::unique_ptr<TrayControl> tray_;
  std::vector<Timer*> timers_;
  WindowGeometry placedGeometry_;

  bool created_ = false;        // OnCreated allowed the window
  bool destroyed_ = false;      // WM_DESTROY has run
  bool silentDestroy_ = false;  // destroy without OnDestroyed and without ending the loop

  struct Subscription {
    std::function<void()> unsubscribe;
  };
  std::vector<Subscription> subscriptions_;

  std::mutex pendingMutex_;
  PendingWork pending_;
  bool syncPosted_ = false;
};

}  // namespace qr::ui::win32
