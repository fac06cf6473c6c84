#include "ui/win32/tray_control.h"

#include <shellapi.h>

#include <iterator>

#include "ui/win32/wide_text.h"

namespace qr::ui::win32 {

namespace {
constexpr UINT kIconId = 1;
}

int TrayEventKindOf(UINT mouseMessage) {
  switch (mouseMessage) {
    case WM_LBUTTONUP:
      return kTrayLeftClick;
    case WM_LBUTTONDBLCLK:
      return kTrayDoubleClick;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      return kTrayMenuRequest;
    default:
      return 0;
  }
}

TrayControl::TrayControl(TrayIcon& model, HWND window, UINT callbackMessage, HICON icon)
    : model_(model), window_(window), callbackMessage_(callbackMessage), icon_(icon) {}

TrayControl::~TrayControl() { Remove(); }

bool TrayControl::Notify(DWORD action, const std::string& tip) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kIconId;
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon_;
  lstrcpynW(data.szTip, Wide(tip).c_str(), static_cast<int>(std::size(data.szTip)));
  return Shell_NotifyIconW(action, &data) != FALSE;
}

void TrayControl::Sync() {
  const bool present = model_.IsPresent();
  const std::string tip = model_.Tip();
  if (!present) {
    Remove();
    return;
  }
  if (shown_ && tip == tip_) return;
  // Putting the icon in when it is there already replaces it: never two.
  shown_ = (shown_ && Notify(NIM_MODIFY, tip)) || Notify(NIM_ADD, tip);
  tip_ = tip;
}

void TrayControl::Restore() {
  if (!model_.IsPresent()) return;
  shown_ = false;
  Sync();
}

void TrayControl::Remove() {
  if (!shown_) return;
  Notify(NIM_DELETE, tip_);
  shown_ = false;
}

}  // namespace qr::ui::win32
