// A FormModel shown as a modal Qt dialog. Every control is a direct child of
// the dialog at its place in client pixels; the controls of a tab page sit
// over the tab widget (whose pages stay empty) and show only while their page
// is current, so places read the same as on Windows.
//
// Model changes made on the window thread apply at once; changes made on
// another thread only note the control and refresh it from the model on the
// window thread, so a late record never overwrites a newer state.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "ui/toolkit/form_model.h"

namespace qr::ui::qt {

class QtForm : public QDialog {
 public:
  // `openAddress` opens a link control's address with the desktop.
  QtForm(FormModel& model, FormEvents& events, QWidget* owner, std::function<void(const std::string&)> openAddress);
  ~QtForm() override;

  // OnFormOpened, then the modal run until the form is closed (a form still
  // open when the application's event loops end is closed as by the person).
  void Run();

  // The widget that shows control `index` (tests look at it).
  QWidget* ControlWidget(int index) const { return widgets_.at(static_cast<std::size_t>(index)); }

  void reject() override;  // Escape and the title bar's close button

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  QWidget* CreateControl(int index);
  void ConnectControl(int index);
  void OnModelChange(const FormChange& change);
  void Apply(const FormChange& change);
  void ApplyControl(int index, const ControlState& state);
  void ShowCurrentPage();
  void CloseWindow();

  // Screen to model: the control's state as the widget shows it now.
  void WriteBack(int index);
  void Clicked(int index);

  FormModel& model_;
  FormEvents& events_;
  std::function<void(const std::string&)> openAddress_;
  std::vector<QWidget*> widgets_;  // by control index
  int tabs_ = -1;                  // the form's tab control, if any
  int subscription_ = 0;
  bool applying_ = false;  // widget signals caused by the model are not written back
  bool closed_ = false;
};

// Multi-line edit text: the model keeps CR LF between lines, Qt a bare LF.
std::string ToModelLines(const std::string& screen);
std::string ToScreenLines(const std::string& model);

}  // namespace qr::ui::qt
