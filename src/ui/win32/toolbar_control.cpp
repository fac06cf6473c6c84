#include "ui/win32/toolbar_control.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/wide_text.h"
#include "ui/win32/win32_resources.h"

namespace qr::ui::win32 {

namespace {
constexpr int kImageSize = 16;
}

ToolbarControl::ToolbarControl(Toolbar& model, HWND parent, int controlId, int firstCommandId, HFONT font)
    : model_(model), firstCommandId_(firstCommandId) {
  toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS |
                                 CCS_TOP | CCS_NODIVIDER,
                             0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  if (font != nullptr) SendMessageW(toolbar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  const int imageCount = LoadImages();
  if (imageCount > 0) {
    SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
  } else {
    SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));  // text buttons: no room kept for images
  }

  const int count = model_.ButtonCount();
  std::vector<std::wstring> captions;
  std::vector<TBBUTTON> buttons(count);
  captions.reserve(count);
  for (int index = 0; index < count; ++index) {
    const ToolbarButton button = model_.Button(index);
    captions_.push_back(button.caption);
    captions.push_back(Wide(button.caption));
    buttons[index].iBitmap = index < imageCount ? index : I_IMAGENONE;
    buttons[index].idCommand = firstCommandId_ + index;
    buttons[index].fsState = button.enabled ? TBSTATE_ENABLED : 0;
    buttons[index].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    buttons[index].iString = reinterpret_cast<INT_PTR>(captions.back().c_str());
  }
  SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

ToolbarControl::~ToolbarControl() {
  if (images_ != nullptr) ImageList_Destroy(images_);
}

int ToolbarControl::LoadImages() {
  auto* strip = static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(QR_IDB_TOOLBAR), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (strip == nullptr) return 0;
  BITMAP info{};
  GetObjectW(strip, sizeof info, &info);
  const int count = info.bmHeight == kImageSize ? info.bmWidth / kImageSize : 0;
  if (count > 0) {
    images_ = ImageList_Create(kImageSize, kImageSize, ILC_COLOR32, count, 0);
    if (images_ != nullptr && ImageList_Add(images_, strip, nullptr) < 0) {
      ImageList_Destroy(images_);
      images_ = nullptr;
    }
  }
  DeleteObject(strip);
  return images_ != nullptr ? ImageList_GetImageCount(images_) : 0;
}

int ToolbarControl::Height() const {
  RECT bounds{};
  GetWindowRect(toolbar_, &bounds);
  return bounds.bottom - bounds.top;
}

int ToolbarControl::ButtonOf(int commandId) const {
  const int index = commandId - firstCommandId_;
  return index >= 0 && index < static_cast<int>(captions_.size()) ? index : -1;
}

bool ToolbarControl::Sync() {
  bool resized = false;
  const int count = std::min(model_.ButtonCount(), static_cast<int>(captions_.size()));
  for (int index = 0; index < count; ++index) {
    const ToolbarButton button = model_.Button(index);
    const int commandId = firstCommandId_ + index;
    SendMessageW(toolbar_, TB_ENABLEBUTTON, commandId, MAKELPARAM(button.enabled ? TRUE : FALSE, 0));
    if (button.caption != captions_[index]) {
      std::wstring caption = Wide(button.caption);
      TBBUTTONINFOW info{};
      info.cbSize = sizeof info;
      info.dwMask = TBIF_TEXT;
      info.pszText = caption.data();
      SendMessageW(toolbar_, TB_SETBUTTONINFOW, commandId, reinterpret_cast<LPARAM>(&info));
      captions_[index] = button.caption;
      resized = true;
    }
  }
  if (resized) SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
  return resized;
}

bool ToolbarControl::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.code != TTN_GETDISPINFOW) return false;
  const int index = ButtonOf(static_cast<int>(header.idFrom));
  if (index < 0) return false;
  auto& request = reinterpret_cast<NMTTDISPINFOW&>(const_cast<NMHDR&>(header));
  tipText_ = Wide(model_.Button(index).tip);  // empty: no tip shows
  request.lpszText = tipText_.data();
  request.hinst = nullptr;
  result = 0;
  return true;
}

}  // namespace qr::ui::win32
