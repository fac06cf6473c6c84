// A report-style list view showing one ListView model. The control is
// virtual (owner data): it asks for each visible cell when it paints, so the
// model stays the only copy of the rows and a change needs only a repaint.
#pragma once

#include <windows.h>

#include <string>

#include "ui/toolkit/list_view.h"

namespace qr::ui::win32 {

class ListControl {
 public:
  ListControl(ListView& model, HWND parent, int controlId, HFONT font);
  ListControl(const ListControl&) = delete;
  ListControl& operator=(const ListControl&) = delete;

  HWND Handle() const { return list_; }
  ListView& Model() { return model_; }

  // Window thread: brings the control up to the model (row count, cells,
  // selection, the row last asked to be scrolled into view).
  void Sync(bool scrollRequested);

  // Window thread: a notification from the control (or its header). True
  // when handled, with the answer in `result`; `selectionTouched` is set when
  // the control's selection changed, which the caller confirms later with
  // TakeSelection (one pick sends a deselect and a select).
  bool OnNotify(const NMHDR& header, LRESULT& result, bool& selectionTouched);
  // Window thread: true when the person's selection differs from the model's;
  // the model then holds it.
  bool TakeSelection();

 private:
  bool IsHiddenColumn(int column) const;
  int ControlSelection() const;

  ListView& model_;
  HWND list_ = nullptr;
  bool syncing_ = false;
  std::wstring cellText_;  // kept alive for the control while it draws
};

}  // namespace qr::ui::win32
