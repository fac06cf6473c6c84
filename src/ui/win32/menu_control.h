// The window's menus, built in code from the MenuBar model: the shown
// top-level menus form the menu bar, the hidden ones (the tray menu) are kept
// aside as pop-up menus.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/toolkit/menu_bar.h"

namespace qr::ui::win32 {

class MenuControl {
 public:
  explicit MenuControl(MenuBar& model);
  ~MenuControl();
  MenuControl(const MenuControl&) = delete;
  MenuControl& operator=(const MenuControl&) = delete;

  // Window thread. Builds the menus from the model and puts the bar on `window`.
  void Attach(HWND window);
  // Window thread: brings captions, check marks and enabled flags up to the
  // model; rebuilds when the tree changed shape.
  void Sync();
  // Window thread: pops up top-level menu `menuIndex` at the mouse position.
  void Popup(HWND window, int menuIndex);
  // Window thread, while the window is being destroyed: takes the bar off it.
  // Windows would otherwise free the bar with the window, and this control
  // frees its menus itself.
  void Detach();

 private:
  void Build();
  void Destroy();

  MenuBar& model_;
  HWND window_ = nullptr;
  HMENU bar_ = nullptr;
  std::vector<HMENU> menus_;   // by top-level index
  std::vector<HMENU> hidden_;  // not in the bar: destroyed by us
  std::vector<TopMenu> built_;
};

}  // namespace qr::ui::win32
