// Developer tool: shows the sample form with the Win32 backend (for screenshots).
#include <windows.h>
#include <commctrl.h>

#include "form_preview/preview_events.h"
#include "form_preview/sample_form.h"
#include "ui/win32/win32_toolkit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  qr::ui::win32::Win32Toolkit toolkit;
  qr::ui::FormModel form = qr::apps::SampleOptionsForm();
  qr::apps::PreviewEvents events(form);
  toolkit.RunModalForm(form, events);
  return form.Accepted() ? 0 : 1;
}
