#include "ui/toolkit/list_view.h"

#include <utility>

namespace qr::ui {

void ListView::SetColumns(std::vector<ListColumn> columns) {
  std::lock_guard guard(mutex_);
  columns_ = std::move(columns);
  for (auto& row : rows_) row.resize(columns_.size());
  ListChange change;
  DescribeState([&change](const ListChange& state) { change = state; });
  Notify(change);
}

std::vector<ListColumn> ListView::Columns() const {
  std::lock_guard guard(mutex_);
  return columns_;
}

int ListView::ColumnCount() const {
  std::lock_guard guard(mutex_);
  return static_cast<int>(columns_.size());
}

int ListView::RowCount() const {
  std::lock_guard guard(mutex_);
  return static_cast<int>(rows_.size());
}

int ListView::AddRow(std::vector<std::string> cells) {
  std::lock_guard guard(mutex_);
  cells.resize(columns_.size());
  rows_.push_back(cells);
  ListChange change;
  change.kind = ListChange::Kind::kRowAdded;
  change.row = static_cast<int>(rows_.size()) - 1;
  change.cells = std::move(cells);
  Notify(change);
  return change.row;
}

bool ListView::DeleteRow(int row) { return DeleteRowIf(row, {}); }

bool ListView::DeleteRowIf(int row, const std::function<bool(const std::vector<std::string>&)>& matches) {
  std::lock_guard guard(mutex_);
  if (!ValidRow(row) || (matches && !matches(rows_[row]))) return false;
  rows_.erase(rows_.begin() + row);
  ListChange change;
  change.kind = ListChange::Kind::kRowDeleted;
  change.row = row;
  Notify(change);
  if (selectedRow_ == row) {
    SetSelectedRow(-1);
  } else if (selectedRow_ > row) {
    SetSelectedRow(selectedRow_ - 1);
  }
  return true;
}

std::optional<std::vector<std::string>> ListView::DeleteSelectedRowIf(
    const std::function<bool(const std::vector<std::string>&)>& matches) {
  std::lock_guard guard(mutex_);
  if (!ValidRow(selectedRow_)) return std::nullopt;
  std::vector<std::string> cells = rows_[selectedRow_];
  if (!DeleteRowIf(selectedRow_, matches)) return std::nullopt;
  return cells;
}

void ListView::Clear() {
  std::lock_guard guard(mutex_);
  rows_.clear();
  ListChange change;
  change.kind = ListChange::Kind::kCleared;
  Notify(change);
  SetSelectedRow(-1);
}

bool ListView::SetCell(int row, int column, std::string text) {
  std::lock_guard guard(mutex_);
  if (!ValidRow(row) || column < 0 || column >= static_cast<int>(columns_.size())) return false;
  rows_[row][column] = text;
  ListChange change;
  change.kind = ListChange::Kind::kCellChanged;
  change.row = row;
  change.column = column;
  change.text = std::move(text);
  Notify(change);
  return true;
}

std::string ListView::Cell(int row, int column) const {
  std::lock_guard guard(mutex_);
  if (!ValidRow(row) || column < 0 || column >= static_cast<int>(rows_[row].size())) return {};
  return rows_[row][column];
}

std::vector<std::string> ListView::Row(int row) const {
  std::lock_guard guard(mutex_);
  if (!ValidRow(row)) return {};
  return rows_[row];
}

std::vector<std::vector<std::string>> ListView::Rows() const {
  std::lock_guard guard(mutex_);
  return rows_;
}

int ListView::SelectedRow() const {
  std::lock_guard guard(mutex_);
  return selectedRow_;
}

bool ListView::SetSelectedRow(int row) {
  std::lock_guard guard(mutex_);
  if (!ValidRow(row)) row = -1;
  if (row == selectedRow_) return false;
  selectedRow_ = row;
  ListChange change;
  change.kind = ListChange::Kind::kSelection;
  change.row = row;
  Notify(change);
  return true;
}

void ListView::EnsureVisible(int row) {
  std::lock_guard guard(mutex_);
  if (!ValidRow(row)) return;
  ensureVisibleRow_ = row;
  ListChange change;
  change.kind = ListChange::Kind::kEnsureVisible;
  change.row = row;
  Notify(change);
}

int ListView::LastEnsureVisibleRow() const {
  std::lock_guard guard(mutex_);
  return ensureVisibleRow_;
}

void ListView::SetTag(std::string tag) {
  std::lock_guard guard(mutex_);
  tag_ = std::move(tag);
}

std::string ListView::Tag() const {
  std::lock_guard guard(mutex_);
  return tag_;
}

void ListView::SetFont(FontSpec font) {
  std::lock_guard guard(mutex_);
  font_ = std::move(font);
}

FontSpec ListView::Font() const {
  std::lock_guard guard(mutex_);
  return font_;
}

void ListView::DescribeState(const Listener& listener) const {
  ListChange change;
  change.kind = ListChange::Kind::kReset;
  change.columns = columns_;
  change.rows = rows_;
  change.selectedRow = selectedRow_;
  listener(change);
}

}  // namespace qr::ui
