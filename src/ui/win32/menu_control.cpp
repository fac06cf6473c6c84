#include "ui/win32/menu_control.h"

#include <string>

#include "ui/win32/wide_text.h"

namespace qr::ui::win32 {

namespace {

UINT ItemFlags(const MenuItem& item) {
  if (item.separator) return MF_SEPARATOR;
  return MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) | (item.enabled ? MF_ENABLED : MF_GRAYED);
}

bool SameShape(const std::vector<TopMenu>& a, const std::vector<TopMenu>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t menu = 0; menu < a.size(); ++menu) {
    if (a[menu].caption != b[menu].caption || a[menu].hidden != b[menu].hidden ||
        a[menu].items.size() != b[menu].items.size()) {
      return false;
    }
    for (std::size_t item = 0; item < a[menu].items.size(); ++item) {
      if (a[menu].items[item].id != b[menu].items[item].id ||
          a[menu].items[item].separator != b[menu].items[item].separator) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

MenuControl::MenuControl(MenuBar& model) : model_(model) {}

MenuControl::~MenuControl() { Destroy(); }

void MenuControl::Attach(HWND window) {
  window_ = window;
  Build();
}

void MenuControl::Build() {
  HMENU oldBar = bar_;
  std::vector<HMENU> oldHidden = std::move(hidden_);
  menus_.clear();
  hidden_.clear();

  built_ = model_.Menus();
  bar_ = CreateMenu();
  for (const TopMenu& top : built_) {
    HMENU popup = CreatePopupMenu();
    for (const MenuItem& item : top.items) {
      AppendMenuW(popup, ItemFlags(item), static_cast<UINT_PTR>(item.id), Wide(item.caption).c_str());
    }
    menus_.push_back(popup);
    if (top.hidden) {
      hidden_.push_back(popup);
    } else {
      AppendMenuW(bar_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), Wide(top.caption).c_str());
    }
  }
  if (window_ != nullptr) {
    SetMenu(window_, bar_);
    DrawMenuBar(window_);
  }
  if (oldBar != nullptr) DestroyMenu(oldBar);  // with its pop-ups
  for (HMENU menu : oldHidden) DestroyMenu(menu);
}

void MenuControl::Detach() {
  if (window_ != nullptr && IsWindow(window_) && GetMenu(window_) == bar_) SetMenu(window_, nullptr);
  window_ = nullptr;
}

void MenuControl::Destroy() {
  Detach();
  if (bar_ != nullptr) DestroyMenu(bar_);
  for (HMENU menu : hidden_) DestroyMenu(menu);
  bar_ = nullptr;
  hidden_.clear();
  menus_.clear();
}

void MenuControl::Sync() {
  const std::vector<TopMenu> current = model_.Menus();
  if (!SameShape(current, built_)) {
    Build();
    return;
  }
  for (std::size_t menu = 0; menu < current.size(); ++menu) {
    for (std::size_t index = 0; index < current[menu].items.size(); ++index) {
      const MenuItem& item = current[menu].items[index];
      if (item.separator) continue;
      const MenuItem& shown = built_[menu].items[index];
      if (item.caption != shown.caption) {
        ModifyMenuW(menus_[menu], static_cast<UINT>(index), MF_BYPOSITION | ItemFlags(item),
                    static_cast<UINT_PTR>(item.id), Wide(item.caption).c_str());
      }
      CheckMenuItem(menus_[menu], static_cast<UINT>(index), MF_BYPOSITION | (item.checked ? MF_CHECKED : MF_UNCHECKED));
      EnableMenuItem(menus_[menu], static_cast<UINT>(index), MF_BYPOSITION | (item.enabled ? MF_ENABLED : MF_GRAYED));
    }
  }
  built_ = current;
  if (window_ != nullptr) DrawMenuBar(window_);
}

void MenuControl::Popup(HWND window, int menuIndex) {
  if (menuIndex < 0 || menuIndex >= static_cast<int>(menus_.size())) return;
  POINT at{};
  GetCursorPos(&at);
  // The window must be in front, or the menu stays open after a click elsewhere.
  SetForegroundWindow(window);
  TrackPopupMenu(menus_[menuIndex], TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
  PostMessageW(window, WM_NULL, 0, 0);
}

}  // namespace qr::ui::win32
