// The notification-area icon of the main window, mirrored from the TrayIcon
// model, and the translation of its mouse messages into tray event kinds.
#pragma once

#include <windows.h>

#include <string>

#include "ui/toolkit/tray_icon.h"

namespace qr::ui::win32 {

// The kind (kTrayLeftClick, ...) of a mouse message that the icon reports,
// or 0 for one that means nothing to the program.
int TrayEventKindOf(UINT mouseMessage);

class TrayControl {
 public:
  // The icon reports its mouse actions to `window` as `callbackMessage`.
  TrayControl(TrayIcon& model, HWND window, UINT callbackMessage, HICON icon);
  ~TrayControl();
  TrayControl(const TrayControl&) = delete;
  TrayControl& operator=(const TrayControl&) = delete;

  // Window thread: puts the icon in, replaces its tip, or removes it.
  void Sync();
  // Window thread: the notification area came back (its process restarted);
  // a shown icon is put in again.
  void Restore();
  void Remove();
  bool IsShown() const { return shown_; }

 private:
  bool Notify(DWORD action, const std::string& tip);

  TrayIcon& model_;
  HWND window_;
  UINT callbackMessage_;
  HICON icon_;
  bool shown_ = false;
  std::string tip_;
};

}  // namespace qr::ui::win32
