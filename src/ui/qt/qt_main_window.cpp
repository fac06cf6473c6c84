#include "ui/qt/qt_main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMenuBar>

#include "ui/qt/qt_icons.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/qt_toolkit.h"

namespace qr::ui::qt {

template <typename Change>
std::function<void(const Change&)> QtMainWindow::Queued(void (QtMainWindow::*apply)(const Change&)) {
  // Model listeners run on the changing thread with the model's lock held:
  // copy the change and carry it out on the window thread, in order.
  return [this, apply](const Change& change) {
    QMetaObject::invokeMethod(
        this, [this, apply, change] { (this->*apply)(change); }, Qt::QueuedConnection);
  };
}

QtMainWindow::QtMainWindow(MainWindowModel& model, WindowEvents& events, QtToolkit& toolkit)
    : model_(model), events_(events), toolkit_(toolkit), trayAvailable_(QSystemTrayIcon::isSystemTrayAvailable()) {
  setWindowIcon(ProgramIcon());
  toolbar_ = addToolBar(QStringLiteral("tasks"));
  toolbar_->setMovable(false);
  toolbar_->setFloatable(false);
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  toolbar_->setIconSize(QSize(24, 24));
  toolbar_->toggleViewAction()->setVisible(false);
  setContextMenuPolicy(Qt::NoContextMenu);
  BuildPages();
  BuildTimers();
  BuildTray();
  toolkit_.AttachWindow(this);

  windowSubscription_ = model_.window.Subscribe(Queued(&QtMainWindow::ApplyWindow));
  menuSubscription_ = model_.menu.Subscribe(Queued(&QtMainWindow::ApplyMenu));
  toolbarSubscription_ = model_.toolbar.Subscribe(Queued(&QtMainWindow::ApplyToolbar));
  pagesSubscription_ = model_.pages.Subscribe(Queued(&QtMainWindow::ApplyPages));
  traySubscription_ = model_.tray.Subscribe(Queued(&QtMainWindow::ApplyTray));
}

QtMainWindow::~QtMainWindow() {
  model_.window.Unsubscribe(windowSubscription_);
  model_.menu.Unsubscribe(menuSubscription_);
  model_.toolbar.Unsubscribe(toolbarSubscription_);
  model_.pages.Unsubscribe(pagesSubscription_);
  model_.tray.Unsubscribe(traySubscription_);
  for (auto& [timer, id] : timerSubscriptions_) timer->Unsubscribe(id);
  lists_.clear();
  toolkit_.AttachWindow(nullptr);
}

void QtMainWindow::BuildPages() {
  pages_ = new QTabWidget(this);
  pages_->setDocumentMode(true);
  for (int page = 0; page < model_.pages.PageCount(); ++page) {
    auto* list = new QTableView(pages_);
    list->setFrameShape(QFrame::NoFrame);
    pages_->addTab(list, ToQString(model_.pages.Title(page)));
    pageLists_.push_back(list);
    if (ListView* content = model_.pages.Content(page); content != nullptr) {
      lists_.push_back(std::make_unique<QtListBinding>(
          *content, *list, [this](ListView& changed) { events_.OnListSelectionChanged(changed); }));
    }
  }
  connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
    if (model_.pages.SetCurrentPage(page)) events_.OnPageChanged(page);
  });
  setCentralWidget(pages_);
}

void QtMainWindow::BuildTimers() {
  for (Timer* model : model_.Timers()) {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [model] { model->Tick(); });
    timers_.push_back(timer);
    const int id = model->Subscribe([this, timer](const TimerChange& change) {
      QMetaObject::invokeMethod(
          this,
          [timer, interval = change.intervalMs] {
            if (interval > 0) {
              timer->start(interval);
            } else {
              timer->stop();
            }
          },
          Qt::QueuedConnection);
    });
    timerSubscriptions_.emplace_back(model, id);
  }
}

void QtMainWindow::BuildTray() {
  tray_ = new QSystemTrayIcon(ProgramIcon(), this);
  // The app logic pops its own menu up on kind 3, so the icon has none.
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
      case QSystemTrayIcon::Trigger:
        events_.OnTrayEvent(kTrayLeftClick);
        break;
      case QSystemTrayIcon::DoubleClick:
        events_.OnTrayEvent(kTrayDoubleClick);
        break;
      case QSystemTrayIcon::Context:
        events_.OnTrayEvent(kTrayMenuRequest);
        break;
      default:
        break;
    }
  });
}

QTableView* QtMainWindow::PageList(int page) const {
  return page >= 0 && page < static_cast<int>(pageLists_.size()) ? pageLists_[static_cast<std::size_t>(page)] : nullptr;
}

QMenu* QtMainWindow::MenuAt(int menuIndex) const {
  return menuIndex >= 0 && menuIndex < static_cast<int>(topMenus_.size())
             ? topMenus_[static_cast<std::size_t>(menuIndex)]
             : nullptr;
}

QAction* QtMainWindow::MenuAction(int itemId) const {
  const auto found = menuActions_.find(itemId);
  return found == menuActions_.end() ? nullptr : found->second;
}

bool QtMainWindow::Create() {
  if (!events_.OnCreated()) return false;
  model_.window.SetVisible(true);
  return true;
}

int QtMainWindow::Run(const std::function<void()>& afterCreate) {
  if (!Create()) return 0;
  if (afterCreate) afterCreate();
  const int code = QApplication::exec();
  return code != 0 ? code : toolkit_.ExitCode();
}

void QtMainWindow::PopupMenu(int menuIndex) {
  if (QMenu* menu = MenuAt(menuIndex); menu != nullptr) {
    // Activating the window first lets the menu close when the person clicks elsewhere.
    activateWindow();
    menu->popup(QCursor::pos());
  }
}

void QtMainWindow::ApplyWindow(const WindowChange& change) {
  if (destroyed_) return;
  switch (change.kind) {
    case WindowChange::Kind::kState: {
      const QString title = ToQString(change.title);
      if (windowTitle() != title) setWindowTitle(title);
      const WindowGeometry& g = change.geometry;
      if (appliedGeometry_ != g) {
        appliedGeometry_ = g;
        move(g.x, g.y);
        if (g.width > 0 && g.height > 0) resize(g.width, g.height);
      }
      if (!change.visible) {
        if (isVisible() && !minimisedForTray_) HideToTray();
      } else if (change.minimised) {
        if (!isMinimized()) showMinimized();
      } else if (!isVisible() || isMinimized()) {
        showNormal();
      }
      break;
    }
    case WindowChange::Kind::kRaise:
      if (isMinimized() || !isVisible()) showNormal();
      raise();
      activateWindow();
      break;
    case WindowChange::Kind::kDestroy:
      Destroy();
      break;
  }
}

void QtMainWindow::ApplyMenu(const MenuChange& change) {
  if (change.kind == MenuChange::Kind::kItem) {
    if (QAction* action = MenuAction(change.item.id); action != nullptr) ApplyMenuItem(*action, change.item);
    return;
  }
  // The whole tree: build the bar again; hidden menus are kept for popping up.
  menuBar()->clear();
  for (QMenu* menu : topMenus_) menu->deleteLater();
  topMenus_.clear();
  menuActions_.clear();
  for (const TopMenu& top : change.menus) {
    auto* menu = new QMenu(ToQString(top.caption), this);
    for (const MenuItem& item : top.items) {
      if (item.separator) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(QString());
      ApplyMenuItem(*action, item);
      const int id = item.id;
      connect(action, &QAction::triggered, this, [this, id] { MenuTriggered(id); });
      menuActions_[id] = action;
    }
    if (!top.hidden) menuBar()->addMenu(menu);
    topMenus_.push_back(menu);
  }
}

void QtMainWindow::ApplyMenuItem(QAction& action, const MenuItem& item) {
  action.setText(ToQString(item.caption));
  action.setCheckable(item.checkable);
  action.setChecked(item.checked);
  action.setEnabled(item.enabled);
}

void QtMainWindow::MenuTriggered(int itemId) {
  // Qt has already flipped a check item's mark; the model decides it, so put
  // the model's mark back and let the command change it.
  if (QAction* action = MenuAction(itemId); action != nullptr && action->isCheckable()) {
    action->setChecked(model_.menu.IsChecked(itemId));
  }
  // The item may have been disabled by now on another thread, its change still queued.
  if (model_.menu.IsEnabled(itemId)) events_.OnMenuCommand(itemId);
}

void QtMainWindow::ApplyToolbar(const ToolbarChange& change) {
  QList<QAction*> actions = toolbar_->actions();
  while (actions.size() < change.buttonCount) {
    const int index = static_cast<int>(actions.size());
    QAction* action = toolbar_->addAction(ToolbarIcon(index), QString());
    // As for menu items, the model says whether the button may be clicked now.
    connect(action, &QAction::triggered, this, [this, index] {
      if (model_.toolbar.IsEnabled(index)) events_.OnToolbarClick(index);
    });
    actions.append(action);
  }
  if (change.index < 0 || change.index >= actions.size()) return;
  QAction* action = actions[change.index];
  action->setText(ToQString(change.button.caption));
  action->setToolTip(ToQString(change.button.tip.empty() ? change.button.caption : change.button.tip));
  action->setEnabled(change.button.enabled);
}

void QtMainWindow::ApplyPages(const PageChange& change) {
  for (int page = 0; page < pages_->count() && page < static_cast<int>(change.titles.size()); ++page) {
    pages_->setTabText(page, ToQString(change.titles[static_cast<std::size_t>(page)]));
  }
  if (change.currentPage != pages_->currentIndex()) {
    const QSignalBlocker quiet(pages_);
    pages_->setCurrentIndex(change.currentPage);
  }
}

void QtMainWindow::ApplyTray(const TrayChange& change) {
  tray_->setToolTip(ToQString(change.tip));
  tray_->setVisible(change.present);
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
  if (destroyed_) {
    event->accept();
    return;
  }
  if (!events_.OnCloseQuery()) {
    event->ignore();
    return;
  }
  event->accept();
  Destroy();
}

void QtMainWindow::HideToTray() {
  if (trayAvailable_) {
    hide();
    return;
  }
  // Without a notification area a hidden window could never be clicked back:
  // it goes to the task bar instead, and coming back from there counts as
  // the click on the tray icon would.
  minimisedForTray_ = true;
  showMinimized();
}

void QtMainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || destroyed_) return;
  // Report the person's minimise and restore, so the model shows what the screen shows.
  const bool minimised = isMinimized();
  if (minimised != model_.window.IsMinimised()) model_.window.SetMinimised(minimised);
  if (!minimised && minimisedForTray_) {
    minimisedForTray_ = false;
    model_.window.SetVisible(true);
  }
}

void QtMainWindow::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  events_.OnDestroyed();
  tray_->hide();
  hide();
  toolkit_.QuitEventLoop(0);
}

}  // namespace qr::ui::qt
