#include "ui/qt/qt_list_binding.h"

#include <QHeaderView>
#include <QSignalBlocker>

#include "ui/qt/qt_font.h"
#include "ui/qt/qt_text.h"

namespace qr::ui::qt {

QtListBinding::QtListBinding(ListView& model, QTreeWidget& widget, std::function<void(ListView&)> onUserSelection)
    : model_(model),
      widget_(widget),
      receiver_(std::make_unique<QObject>()),
      onUserSelection_(std::move(onUserSelection)) {
  MakeReportStyle(widget_);
  widget_.setFont(ToQFont(model_.Font()));
  QObject::connect(&widget_, &QTreeWidget::itemSelectionChanged, receiver_.get(), [this] { UserSelectionChanged(); });
  // The listener runs on the changing thread with the model's lock held: it
  // only copies the change and queues it for the widget's thread.
  subscription_ = model_.Subscribe([this](const ListChange& change) {
    QMetaObject::invokeMethod(
        receiver_.get(), [this, change] { Apply(change); }, Qt::QueuedConnection);
  });
}

QtListBinding::~QtListBinding() { model_.Unsubscribe(subscription_); }

void QtListBinding::MakeReportStyle(QTreeWidget& widget) {
  widget.setRootIsDecorated(false);
  widget.setItemsExpandable(false);
  widget.setUniformRowHeights(true);
  widget.setAllColumnsShowFocus(true);
  widget.setSelectionMode(QAbstractItemView::SingleSelection);
  widget.setSelectionBehavior(QAbstractItemView::SelectRows);
  widget.setEditTriggers(QAbstractItemView::NoEditTriggers);
  widget.setIndentation(0);
  widget.header()->setStretchLastSection(false);
  widget.header()->setSectionsMovable(false);
  widget.header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void QtListBinding::Apply(const ListChange& change) {
  applying_ = true;
  switch (change.kind) {
    case ListChange::Kind::kReset:
      Reset(change);
      break;
    case ListChange::Kind::kRowAdded:
      AddRow(change.cells);
      break;
    case ListChange::Kind::kRowDeleted:
      delete widget_.takeTopLevelItem(change.row);
      break;
    case ListChange::Kind::kCleared:
      widget_.clear();
      break;
    case ListChange::Kind::kCellChanged:
      if (QTreeWidgetItem* item = widget_.topLevelItem(change.row); item != nullptr) {
        item->setText(change.column, ToQString(change.text));
      }
      break;
    case ListChange::Kind::kSelection:
      SelectRow(change.row);
      break;
    case ListChange::Kind::kEnsureVisible:
      if (QTreeWidgetItem* item = widget_.topLevelItem(change.row); item != nullptr) widget_.scrollToItem(item);
      break;
  }
  applying_ = false;
}

void QtListBinding::Reset(const ListChange& change) {
  widget_.clear();
  QStringList titles;
  for (const ListColumn& column : change.columns) titles << ToQString(column.title);
  widget_.setColumnCount(static_cast<int>(change.columns.size()));
  widget_.setHeaderLabels(titles);
  for (int i = 0; i < static_cast<int>(change.columns.size()); ++i) {
    const int width = change.columns[static_cast<std::size_t>(i)].width;
    widget_.setColumnHidden(i, width <= 0);
    if (width > 0) widget_.header()->resizeSection(i, width);
  }
  for (const auto& row : change.rows) AddRow(row);
  SelectRow(change.selectedRow);
}

void QtListBinding::AddRow(const std::vector<std::string>& cells) {
  auto* item = new QTreeWidgetItem();
  for (int i = 0; i < static_cast<int>(cells.size()); ++i)
    item->setText(i, ToQString(cells[static_cast<std::size_t>(i)]));
  widget_.addTopLevelItem(item);
}

void QtListBinding::SelectRow(int row) {
  if (row == SelectedWidgetRow()) return;
  const QSignalBlocker quiet(&widget_);
  widget_.clearSelection();
  if (QTreeWidgetItem* item = widget_.topLevelItem(row); item != nullptr) {
    widget_.setCurrentItem(item);
    item->setSelected(true);
  }
}

int QtListBinding::SelectedWidgetRow() const {
  const QList<QTreeWidgetItem*> selected = widget_.selectedItems();
  return selected.isEmpty() ? -1 : widget_.indexOfTopLevelItem(selected.first());
}

void QtListBinding::UserSelectionChanged() {
  // Selection changes made while carrying out the model's own changes (rows
  // deleted or cleared) are the model's, not the person's.
  if (applying_) return;
  const int row = SelectedWidgetRow();
  if (row == model_.SelectedRow()) return;
  model_.SetSelectedRow(row);
  if (onUserSelection_) onUserSelection_(model_);
}

}  // namespace qr::ui::qt
