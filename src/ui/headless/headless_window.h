// Drives a MainWindowModel the way a person and a real backend would, without
// a display: creation, menu and toolbar clicks, row selection, tray clicks,
// timer ticks, closing. Destroy requests are carried out on the window thread
// through the toolkit's posted work, as a real backend would.
#pragma once

#include <string>

#include "ui/headless/headless_toolkit.h"
#include "ui/toolkit/main_window_model.h"
#include "ui/toolkit/window_events.h"

namespace qr::ui {

class HeadlessWindow {
 public:
  HeadlessWindow(MainWindowModel& model, WindowEvents& events, HeadlessToolkit& toolkit);
  ~HeadlessWindow();
  HeadlessWindow(const HeadlessWindow&) = delete;
  HeadlessWindow& operator=(const HeadlessWindow&) = delete;

  // Calls OnCreated and shows the window when it allows; otherwise ends the
  // loop with exit code 0. Returns what OnCreated returned.
  bool Create();
  // Create, then run the posted work until the loop ends; returns the exit code.
  int Run();

  // A close by the person: OnCloseQuery, and when allowed the destroy. Runs
  // the posted work; returns whether the close was allowed.
  bool Close();

  // Returns false (and does nothing) for an unknown, separator or disabled item.
  bool ClickMenu(int itemId);
  // The item with this caption in the top-level menu with `menuCaption`.
  bool ClickMenu(const std::string& menuCaption, const std::string& itemCaption);
  // Returns false (and does nothing) for a disabled or missing button.
  bool ClickToolbar(int index);
  void SelectRow(ListView& list, int row);
  void PickPage(int page);
  void TrayEvent(int kind);
  // Ticks every timer whose interval is not 0.
  void TickTimers();

  bool IsCreated() const { return created_; }
  bool IsDestroyed() const { return destroyed_; }

 private:
  void Destroy();

  MainWindowModel& model_;
  WindowEvents& events_;
  HeadlessToolkit& toolkit_;
  int subscription_ = 0;
  bool created_ = false;
  bool destroyed_ = false;
};

}  // namespace qr::ui
