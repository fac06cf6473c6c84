#include "ui/qt/qt_list_model.h"

namespace qr::ui::qt {

QStringList QtListModel::Fitted(QStringList cells) const {
  while (cells.size() < titles_.size()) cells.append(QString());
  while (cells.size() > titles_.size()) cells.removeLast();
  return cells;
}

void QtListModel::Reset(QStringList titles, std::vector<QStringList> rows) {
  beginResetModel();
  titles_ = std::move(titles);
  rows_.clear();
  rows_.reserve(rows.size());
  for (QStringList& row : rows) rows_.push_back(Fitted(std::move(row)));
  endResetModel();
}

void QtListModel::AppendRow(QStringList cells) {
  const int row = static_cast<int>(rows_.size());
  beginInsertRows(QModelIndex(), row, row);
  rows_.push_back(Fitted(std::move(cells)));
  endInsertRows();
}

void QtListModel::RemoveRow(int row) {
  if (!ValidRow(row)) return;
  beginRemoveRows(QModelIndex(), row, row);
  rows_.erase(rows_.begin() + row);
  endRemoveRows();
}

void QtListModel::Clear() {
  if (rows_.empty()) return;
  beginRemoveRows(QModelIndex(), 0, static_cast<int>(rows_.size()) - 1);
  rows_.clear();
  endRemoveRows();
}

void QtListModel::SetCell(int row, int column, const QString& text) {
  if (!ValidRow(row) || column < 0 || column >= titles_.size()) return;
  QString& cell = rows_[static_cast<std::size_t>(row)][column];
  if (cell == text) return;
  cell = text;
  const QModelIndex changed = index(row, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole});
}

int QtListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int QtListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant QtListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || !ValidRow(index.row()) || index.column() >= titles_.size()) {
    return {};
  }
  return rows_[static_cast<std::size_t>(index.row())][index.column()];
}

QVariant QtListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles_.size()) {
    return titles_[section];
  }
  if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace qr::ui::qt
