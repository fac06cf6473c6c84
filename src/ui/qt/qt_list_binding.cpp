#include "ui/qt/qt_list_binding.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>

#include "ui/qt/qt_font.h"
#include "ui/qt/qt_text.h"

namespace qr::ui::qt {

namespace {

QStringList ToQStrings(const std::vector<std::string>& texts) {
  QStringList strings;
  strings.reserve(static_cast<qsizetype>(texts.size()));
  for (const std::string& text : texts) strings.append(ToQString(text));
  return strings;
}

}  // namespace

QtListBinding::QtListBinding(ListView& model, QTableView& view, std::function<void(ListView&)> onUserSelection)
    : model_(model),
      view_(view),
      receiver_(std::make_unique<QObject>()),
      rows_(std::make_unique<QtListModel>()),
      onUserSelection_(std::move(onUserSelection)) {
  MakeReportStyle(view_);
  view_.setFont(ToQFont(model_.Font()));
  view_.verticalHeader()->setDefaultSectionSize(QFontMetrics(view_.font()).height() + 4);
  view_.setModel(rows_.get());
  QObject::connect(view_.selectionModel(), &QItemSelectionModel::selectionChanged, receiver_.get(),
                   [this] { UserSelectionChanged(); });
  // The listener runs on the changing thread with the model's lock held: it
  // only copies the change and queues it for the view's thread.
  subscription_ = model_.Subscribe([this](const ListChange& change) {
    QMetaObject::invokeMethod(
        receiver_.get(), [this, change] { Apply(change); }, Qt::QueuedConnection);
  });
}

QtListBinding::~QtListBinding() {
  model_.Unsubscribe(subscription_);
  view_.setModel(nullptr);
}

void QtListBinding::MakeReportStyle(QTableView& view) {
  view.setSelectionMode(QAbstractItemView::SingleSelection);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view.setShowGrid(false);
  view.setWordWrap(false);
  view.setTabKeyNavigation(false);
  view.setCornerButtonEnabled(false);
  view.setTextElideMode(Qt::ElideRight);
  view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  view.verticalHeader()->hide();
  view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view.horizontalHeader()->setStretchLastSection(false);
  view.horizontalHeader()->setSectionsMovable(false);
  view.horizontalHeader()->setHighlightSections(false);
  view.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void QtListBinding::Apply(const ListChange& change) {
  // Selection changes that follow from the model's own changes (a selected
  // row deleted) are the model's, not the person's.
  applying_ = true;
  switch (change.kind) {
    case ListChange::Kind::kReset:
      Reset(change);
      break;
    case ListChange::Kind::kRowAdded:
      rows_->AppendRow(ToQStrings(change.cells));
      break;
    case ListChange::Kind::kRowDeleted:
      rows_->RemoveRow(change.row);
      break;
    case ListChange::Kind::kCleared:
      rows_->Clear();
      break;
    case ListChange::Kind::kCellChanged:
      rows_->SetCell(change.row, change.column, ToQString(change.text));
      break;
    case ListChange::Kind::kSelection:
      SelectRow(change.row);
      break;
    case ListChange::Kind::kEnsureVisible:
      RequestScroll(change.row);
      break;
  }
  applying_ = false;
}

void QtListBinding::Reset(const ListChange& change) {
  QStringList titles;
  for (const ListColumn& column : change.columns) titles << ToQString(column.title);
  std::vector<QStringList> rows;
  rows.reserve(change.rows.size());
  for (const auto& row : change.rows) rows.push_back(ToQStrings(row));
  rows_->Reset(std::move(titles), std::move(rows));
  for (int i = 0; i < static_cast<int>(change.columns.size()); ++i) {
    const int width = change.columns[static_cast<std::size_t>(i)].width;
    view_.setColumnHidden(i, width <= 0);
    if (width > 0) view_.setColumnWidth(i, width);
  }
  SelectRow(change.selectedRow);
}

void QtListBinding::SelectRow(int row) {
  if (row == SelectedViewRow()) return;
  if (row >= 0 && row < rows_->rowCount()) {
    view_.selectRow(row);
  } else {
    view_.clearSelection();
  }
}

void QtListBinding::RequestScroll(int row) {
  // Scrolling to a row costs a walk over the rows, and a busy log asks for it
  // with every line: only the last request of a burst is carried out, after
  // the changes already queued.
  scrollRow_ = row;
  if (scrollPending_) return;
  scrollPending_ = true;
  QMetaObject::invokeMethod(
      receiver_.get(),
      [this] {
        scrollPending_ = false;
        if (scrollRow_ == rows_->rowCount() - 1) {
          view_.scrollToBottom();
        } else if (scrollRow_ >= 0 && scrollRow_ < rows_->rowCount()) {
          view_.scrollTo(rows_->index(scrollRow_, 0));
        }
      },
      Qt::QueuedConnection);
}

int QtListBinding::SelectedViewRow() const {
  const QModelIndexList selected = view_.selectionModel()->selectedRows();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void QtListBinding::UserSelectionChanged() {
  if (applying_) return;
  if (model_.SetSelectedRow(SelectedViewRow()) && onUserSelection_) onUserSelection_(model_);
}

}  // namespace qr::ui::qt
