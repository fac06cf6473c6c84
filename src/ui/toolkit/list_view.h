// A report-style list: titled columns and rows of code page 936 text cells.
//
// Any thread may read or change it. Rows always have one cell per column.
// Out-of-range rows and columns are ignored on writes and read as empty.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/toolkit/font_spec.h"
#include "ui/toolkit/observable.h"

namespace qr::ui {

struct ListColumn {
  std::string title;
  int width = 0;  // pixels; a zero-wide column exists but is not shown
};

struct ListChange {
  enum class Kind {
    kReset,          // columns and rows hold the whole list; selectedRow the selection
    kRowAdded,       // row = index of the new row (always the last), cells = its cells
    kRowDeleted,     // row = index of the deleted row; later rows moved up by one
    kCleared,        // every row deleted
    kCellChanged,    // row, column, text
    kSelection,      // row = selected row, -1 for none
    kEnsureVisible,  // row = the row to scroll into view
  };
  Kind kind = Kind::kReset;
  int row = -1;
  int column = -1;
  std::string text;
  std::vector<std::string> cells;
  std::vector<ListColumn> columns;
  std::vector<std::vector<std::string>> rows;
  int selectedRow = -1;
};

class ListView : public Observable<ListChange> {
 public:
  // Set the columns before a backend subscribes; existing rows are resized.
  void SetColumns(std::vector<ListColumn> columns);
  std::vector<ListColumn> Columns() const;
  int ColumnCount() const;

  int RowCount() const;
  // Appends a row (cells beyond the column count are dropped, missing ones
  // are empty) and returns its index.
  int AddRow(std::vector<std::string> cells = {});
  bool DeleteRow(int row);
  // Deletes the row only when `matches` says its cells are the expected ones,
  // both in one step: a row that another thread removed or replaced is safe.
  bool DeleteRowIf(int row, const std::function<bool(const std::vector<std::string>&)>& matches);
  // The selected row, deleted when `matches` accepts its cells, in one step:
  // its cells, or nothing when no row was deleted.
  std::optional<std::vector<std::string>> DeleteSelectedRowIf(
      const std::function<bool(const std::vector<std::string>&)>& matches);
  void Clear();

  bool SetCell(int row, int column, std::string text);
  std::string Cell(int row, int column) const;
  std::vector<std::string> Row(int row) const;
  std::vector<std::vector<std::string>> Rows() const;

  // -1 when no row is selected. Deleting rows keeps the selection on the same
  // row (or clears it when that row goes).
  int SelectedRow() const;
  // A row out of range selects none. True when the selection changed, so a
  // backend knows whether the person's pick is news to the app logic.
  bool SetSelectedRow(int row);

  // Asks the backend to scroll `row` into view; the last request is kept.
  void EnsureVisible(int row);
  int LastEnsureVisibleRow() const;

  // A free text every control carries; not shown.
  void SetTag(std::string tag);
  std::string Tag() const;

  // Read by the backend when it builds the control.
  void SetFont(FontSpec font);
  FontSpec Font() const;

 protected:
  void DescribeState(const Listener& listener) const override;

 private:
  bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }

  std::vector<ListColumn> columns_;
  std::vector<std::vector<std::string>> rows_;
  int selectedRow_ = -1;
  int ensureVisibleRow_ = -1;
  std::string tag_;
  FontSpec font_;
};

}  // namespace qr::ui
