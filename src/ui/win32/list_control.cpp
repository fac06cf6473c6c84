#include "ui/win32/list_control.h"

#include <commctrl.h>

#include "ui/win32/wide_text.h"

namespace qr::ui::win32 {

ListControl::ListControl(ListView& model, HWND parent, int controlId, HFONT font) : model_(model) {
  list_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
      WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA, 0, 0, 0,
      0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), GetModuleHandleW(nullptr), nullptr);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  if (font != nullptr) SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  const auto columns = model_.Columns();
  for (int index = 0; index < static_cast<int>(columns.size()); ++index) {
    std::wstring title = Wide(columns[index].title);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = columns[index].width;
    column.pszText = title.data();
    column.iSubItem = index;
    SendMessageW(list_, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
  }
  Sync(false);
}

int ListControl::ControlSelection() const { return ListView_GetNextItem(list_, -1, LVNI_SELECTED); }

void ListControl::Sync(bool scrollRequested) {
  syncing_ = true;
  const int rows = model_.RowCount();
  if (ListView_GetItemCount(list_) != rows) {
    ListView_SetItemCountEx(list_, rows, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  }
  InvalidateRect(list_, nullptr, FALSE);

  const int selected = model_.SelectedRow();
  if (ControlSelection() != selected) {
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (selected >= 0)
      ListView_SetItemState(list_, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  if (scrollRequested) {
    const int row = model_.LastEnsureVisibleRow();
    if (row >= 0 && row < rows) ListView_EnsureVisible(list_, row, FALSE);
  }
  syncing_ = false;
}

bool ListControl::IsHiddenColumn(int column) const {
  const auto columns = model_.Columns();
  return column >= 0 && column < static_cast<int>(columns.size()) && columns[column].width == 0;
}

bool ListControl::TakeSelection() { return model_.SetSelectedRow(ControlSelection()); }

bool ListControl::OnNotify(const NMHDR& header, LRESULT& result, bool& selectionTouched) {
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      if (header.hwndFrom != list_) return false;
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item;
      if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        cellText_ = Wide(model_.Cell(item.iItem, item.iSubItem));
        lstrcpynW(item.pszText, cellText_.c_str(), item.cchTextMax);
      }
      result = 0;
      return true;
    }
    case LVN_ITEMCHANGED: {
      if (header.hwndFrom != list_) return false;
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if (!syncing_ && (change.uChanged & LVIF_STATE) != 0 &&
          ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0) {
        selectionTouched = true;
      }
      result = 0;
      return true;
    }
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA: {
      // A zero-wide column stays hidden: its divider cannot be dragged open.
      if (GetParent(header.hwndFrom) != list_) return false;
      const auto& track = reinterpret_cast<const NMHEADERW&>(header);
      result = IsHiddenColumn(track.iItem) ? TRUE : FALSE;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace qr::ui::win32
