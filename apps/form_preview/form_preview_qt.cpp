// Developer tool: shows the sample form with the Qt backend (for screenshots).
#include <QApplication>

#include "form_preview/preview_events.h"
#include "form_preview/sample_form.h"
#include "ui/qt/qt_toolkit.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  qr::ui::qt::QtToolkit toolkit;
  qr::ui::FormModel form = qr::apps::SampleOptionsForm();
  qr::apps::PreviewEvents events(form);
  toolkit.RunModalForm(form, events);
  return form.Accepted() ? 0 : 1;
}
