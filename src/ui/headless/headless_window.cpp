#include "ui/headless/headless_window.h"

namespace qr::ui {

HeadlessWindow::HeadlessWindow(MainWindowModel& model, WindowEvents& events, HeadlessToolkit& toolkit)
    : model_(model), events_(events), toolkit_(toolkit) {
  subscription_ = model_.window.Subscribe([this](const WindowChange& change) {
    if (change.kind == WindowChange::Kind::kDestroy) toolkit_.PostToWindowThread([this] { Destroy(); });
  });
}

HeadlessWindow::~HeadlessWindow() { model_.window.Unsubscribe(subscription_); }

bool HeadlessWindow::Create() {
  created_ = true;
  if (!events_.OnCreated()) {
    toolkit_.QuitEventLoop(0);
    return false;
  }
  model_.window.SetVisible(true);
  return true;
}

int HeadlessWindow::Run() {
  if (Create()) toolkit_.RunUntilQuit();
  return toolkit_.ExitCode();
}

bool HeadlessWindow::Close() {
  if (!events_.OnCloseQuery()) return false;
  model_.window.RequestDestroy();
  toolkit_.DrainPosted();
  return true;
}

bool HeadlessWindow::ClickMenu(int itemId) {
  if (!model_.menu.IsEnabled(itemId)) return false;
  events_.OnMenuCommand(itemId);
  return true;
}

bool HeadlessWindow::ClickMenu(const std::string& menuCaption, const std::string& itemCaption) {
  for (const auto& menu : model_.menu.Menus()) {
    if (menu.caption != menuCaption) continue;
    for (const auto& item : menu.items) {
      if (!item.separator && item.caption == itemCaption) return ClickMenu(item.id);
    }
  }
  return false;
}

bool HeadlessWindow::ClickToolbar(int index) {
  if (index < 0 || index >= model_.toolbar.ButtonCount() || !model_.toolbar.IsEnabled(index)) return false;
  events_.OnToolbarClick(index);
  return true;
}

void HeadlessWindow::SelectRow(ListView& list, int row) {
  list.SetSelectedRow(row);
  events_.OnListSelectionChanged(list);
}

void HeadlessWindow::PickPage(int page) {
  if (model_.pages.SetCurrentPage(page)) events_.OnPageChanged(page);
}

void HeadlessWindow::TrayEvent(int kind) { events_.OnTrayEvent(kind); }

void HeadlessWindow::TickTimers() {
  for (Timer* timer : model_.Timers()) timer->Tick();
}

void HeadlessWindow::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  model_.window.SetVisible(false);
  events_.OnDestroyed();
  toolkit_.QuitEventLoop(0);
}

}  // namespace qr::ui
