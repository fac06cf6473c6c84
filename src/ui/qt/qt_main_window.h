// The main window on Qt Widgets: renders a MainWindowModel (menu bar, toolbar,
// a tab widget whose pages hold the lists, timers, tray icon) and turns what
// the person does into WindowEvents calls. Every model change, from whatever
// thread, is queued to the window thread and carried out there in order.
#pragma once

#include <QMainWindow>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTableView>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "ui/qt/qt_list_binding.h"
#include "ui/toolkit/main_window_model.h"
#include "ui/toolkit/window_events.h"

namespace qr::ui::qt {

class QtToolkit;

class QtMainWindow : public QMainWindow {
 public:
  QtMainWindow(MainWindowModel& model, WindowEvents& events, QtToolkit& toolkit);
  ~QtMainWindow() override;

  // Calls OnCreated and shows the window when it allows; otherwise the window
  // is never shown. Returns what OnCreated returned.
  bool Create();
  // Create, then `afterCreate` (when the window may open), then the event
  // loop until the window is destroyed or the loop is ended; returns the exit
  // code (0 when OnCreated refused).
  int Run(const std::function<void()>& afterCreate = {});

  // Pops up top-level menu `menuIndex` (hidden ones included) at the mouse.
  void PopupMenu(int menuIndex);

  // For tests and the toolkit: the widgets as built.
  QToolBar* TaskToolbar() const { return toolbar_; }
  QTabWidget* Pages() const { return pages_; }
  QTableView* PageList(int page) const;
  QMenu* MenuAt(int menuIndex) const;
  QAction* MenuAction(int itemId) const;
  QSystemTrayIcon* Tray() const { return tray_; }
  bool IsDestroyed() const { return destroyed_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Queues `apply` for the window thread; used by every model listener.
  template <typename Change>
  std::function<void(const Change&)> Queued(void (QtMainWindow::*apply)(const Change&));

  void BuildPages();
  void BuildTimers();
  void BuildTray();
  void ApplyWindow(const WindowChange& change);
  void ApplyMenu(const MenuChange& change);
  void ApplyToolbar(const ToolbarChange& change);
  void ApplyPages(const PageChange& change);
  void ApplyTray(const TrayChange& change);
  void ApplyMenuItem(QAction& action, const MenuItem& item);
  void HideToTray();
  void MenuTriggered(int itemId);
  void Destroy();

  MainWindowModel& model_;
  WindowEvents& events_;
  QtToolkit& toolkit_;
  QToolBar* toolbar_ = nullptr;
  QTabWidget* pages_ = nullptr;
  QSystemTrayIcon* tray_ = nullptr;
  std::vector<QTableView*> pageLists_;
  std::vector<std::unique_ptr<QtListBinding>> lists_;
  std::vector<QMenu*> topMenus_;
  std::map<int, QAction*> menuActions_;
  std::vector<QTimer*> timers_;
  std::vector<std::pair<Observable<TimerChange>*, int>> timerSubscriptions_;
  int windowSubscription_ = 0;
  int menuSubscription_ = 0;
  int toolbarSubscription_ = 0;
  int pagesSubscription_ = 0;
  int traySubscription_ = 0;
  // The geometry last put on screen; none before the first.
  std::optional<WindowGeometry> appliedGeometry_;
  // Whether the desktop shows tray icons; checked once, at start.
  bool trayAvailable_ = true;
  // Minimised where the window would have been hidden in the tray.
  bool minimisedForTray_ = false;
  bool destroyed_ = false;
};

}  // namespace qr::ui::qt
