// Shows a ListView model in a report-style QTableView: titled columns with
// their pixel widths (zero-wide ones hidden), whole-row selection, no grid
// and no row numbers. Model changes from any thread are queued to the view's
// thread and carried out there in the order they were made; a row the person
// selects goes back into the model. The binding must not outlive the view.
#pragma once

#include <QTableView>
#include <functional>
#include <memory>

#include "ui/qt/qt_list_model.h"
#include "ui/toolkit/list_view.h"

namespace qr::ui::qt {

class QtListBinding {
 public:
  // `onUserSelection` runs on the window thread after the person changed the
  // selection and the model holds it.
  QtListBinding(ListView& model, QTableView& view, std::function<void(ListView&)> onUserSelection);
  ~QtListBinding();
  QtListBinding(const QtListBinding&) = delete;
  QtListBinding& operator=(const QtListBinding&) = delete;

  // Sets up a table view as a report-style list.
  static void MakeReportStyle(QTableView& view);

 private:
  void Apply(const ListChange& change);
  void Reset(const ListChange& change);
  void SelectRow(int row);
  void RequestScroll(int row);
  void UserSelectionChanged();
  int SelectedViewRow() const;

  ListView& model_;
  QTableView& view_;
  // Queued changes are delivered through this object, so that those still
  // pending when the binding goes are dropped with it.
  std::unique_ptr<QObject> receiver_;
  std::unique_ptr<QtListModel> rows_;
  std::function<void(ListView&)> onUserSelection_;
  int subscription_ = 0;
  bool applying_ = false;
  int scrollRow_ = -1;
  bool scrollPending_ = false;
};

}  // namespace qr::ui::qt
