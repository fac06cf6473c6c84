// The rows of a report-style list as Qt item model: titled columns and rows
// of texts, already converted for the screen. Appending a row costs the same
// however long the list is, which matters for the log that is never trimmed.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace qr::ui::qt {

class QtListModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void Reset(QStringList titles, std::vector<QStringList> rows);
  void AppendRow(QStringList cells);
  void RemoveRow(int row);
  void Clear();
  void SetCell(int row, int column, const QString& text);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }
  QStringList Fitted(QStringList cells) const;

  QStringList titles_;
  std::vector<QStringList> rows_;
};

}  // namespace qr::ui::qt
