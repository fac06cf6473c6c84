// The toolbar: one text button per Toolbar model button, flat, captions
// beside the (absent) images, tips from the model.
#pragma once

#include <windows.h>

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
  Toolbar& model_;
  HWND toolbar_ = nullptr;
  int firstCommandId_ = 0;
  std::vector<std::string> captions_;
  std::wstring tipText_;  // kept alive for the tooltip while it shows
};

}  // namespace qr::ui::win32
