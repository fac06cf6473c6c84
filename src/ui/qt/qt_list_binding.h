// Shows a ListView model in a report-style QTreeWidget: titled columns with
// their pixel widths (zero-wide ones hidden), whole-row selection, no tree
// decoration. Model changes from any thread are queued to the widget's
// thread and carried out there in the order they were made; a row the person
// selects goes back into the model.
#pragma once

#include <QTreeWidget>
#include <functional>
#include <memory>

#include "ui/toolkit/list_view.h"

namespace qr::ui::qt {

class QtListBinding {
 public:
  // `onUserSelection` runs on the window thread after the person changed the
  // selection and the model holds it.
  QtListBinding(ListView& model, QTreeWidget& widget, std::function<void(ListView&)> onUserSelection);
  ~QtListBinding();
  QtListBinding(const QtListBinding&) = delete;
  QtListBinding& operator=(const QtListBinding&) = delete;

  // Sets up a tree widget as a report-style list.
  static void MakeReportStyle(QTreeWidget& widget);

 private:
  void Apply(const ListChange& change);
  void Reset(const ListChange& change);
  void AddRow(const std::vector<std::string>& cells);
  void SelectRow(int row);
  void UserSelectionChanged();
  int SelectedWidgetRow() const;

  ListView& model_;
  QTreeWidget& widget_;
  // Queued changes are delivered through this object, so that those still
  // pending when the binding goes are dropped with it.
  std::unique_ptr<QObject> receiver_;
  std::function<void(ListView&)> onUserSelection_;
  int subscription_ = 0;
  bool applying_ = false;
};

}  // namespace qr::ui::qt
