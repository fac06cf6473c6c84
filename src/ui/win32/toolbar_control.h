// The toolbar: one button per Toolbar model button, flat, the caption beside
// the button's image from the program's toolbar strip (when it has one), tips
// from the model.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/toolkit/toolbar.h"

namespace qr::ui::win32 {

class ToolbarControl {
 public:
  // Button i sends WM_COMMAND with id `firstCommandId` + i.
  ToolbarControl(Toolbar& model, HWND parent, int controlId, int firstCommandId, HFONT font);
  ToolbarControl(const ToolbarControl&) = delete;
  ToolbarControl& operator=(const ToolbarControl&) = delete;
  ~ToolbarControl();

  HWND Handle() const { return toolbar_; }
  int Height() const;
  // The button index of a command id, or -1.
  int ButtonOf(int commandId) const;

  // Window thread: captions and enabled flags from the model. True when a
  // caption changed (the toolbar may then need another size).
  bool Sync();
  // Window thread: answers the tooltip's request for a button's tip.
  bool OnNotify(const NMHDR& header, LRESULT& result);

 private:
  // The program's image strip as an image list; 0 images when it has none.
  int LoadImages();

  Toolbar& model_;
  HWND toolbar_ = nullptr;
  HIMAGELIST images_ = nullptr;
  int firstCommandId_ = 0;
  std::vector<std::string> captions_;
  std::wstring tipText_;  // kept alive for the tooltip while it shows
};

}  // namespace qr::ui::win32
