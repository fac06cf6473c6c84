#include "app/main_window.h"

#include <string>

#include "app/menu_ids.h"
#include "queue/queue_file.h"
#include "queue/task_transfer.h"
#include "runtime/files.h"
#include "settings/setting_lookup.h"
#include "ui/toolkit/tray_icon.h"

namespace qr::app {

MainWindow::MainWindow(ProcessObjects& objects, qr::ui::ToolkitServices& services,
                       std::unique_ptr<SingleInstance> instance)
    : objects_(objects),
      services_(services),
      instance_(instance ? std::move(instance) : MakeSingleInstance(kInstanceName)),
      parts_(BuildMainWindow(model_)),
      log_(objects.Lock(), parts_.queue, parts_.log) {
  parts_.progressTimer.SetTickHandler([this] { hooks_->ProgressTick(); });
  SetProgramLog(&log_);
}

MainWindow::~MainWindow() {
  // No more raise requests from the listener while the models go.
  instance_.reset();
  // A line being written on another thread finishes first, and no later line
  // reaches the lists.
  SetProgramLog(nullptr);
}

void MainWindow::SetTaskControlHooks(TaskControlHooks* hooks) { hooks_ = hooks != nullptr ? hooks : &noHooks_; }

bool MainWindow::OnCreated() {
  const SingleInstanceNotice notice{true, "程序已经运行!", qr::ui::message_box::kIconInformation, true};
  const bool first = EnsureSingleInstance(*instance_, services_, notice,
                                          [this] { services_.PostToWindowThread([this] { OnRaiseRequest(); }); });
  if (!first) return false;
  if (qr::settings::IsSettingOn(qr::settings::kTrayIconAtStart)) model_.tray.Show(std::string(kTrayTip));
  qr::queue::LoadQueue(parts_.queue);
  queueLoaded_ = true;
  return true;
}

bool MainWindow::OnCloseQuery() {
  const bool hides = qr::settings::IsSettingOn(qr::settings::kCloseHides);
  const bool exits = qr::settings::IsSettingOn(qr::settings::kCloseExits);
  if (exits) {
    SaveQueue();
    model_.tray.Remove();
    return true;
  }
  if (hides) {
    model_.tray.Show(std::string(kTrayTip));
    model_.window.SetVisible(false);
  }
  return false;
}

void MainWindow::OnDestroyed() {
  SaveQueue();
  model_.tray.Remove();
}

void MainWindow::SaveQueue() {
  if (queueLoaded_) qr::queue::SaveQueue(parts_.queue);
}

void MainWindow::ExitCommand() {
  SaveQueue();
  model_.window.RequestDestroy();
}

void MainWindow::OnMenuCommand(int itemId) {
  switch (itemId) {
    case kMenuAddTask:
      hooks_->TaskCommand(kButtonNewTask);
      break;
    case kMenuExport:
      qr::queue::ExportTasks(parts_.queue, services_);
      break;
    case kMenuImport:
      qr::queue::ImportTasks(parts_.queue, services_);
      break;
    case kMenuExit:
    case kMenuTrayExit:
      ExitCommand();
      break;
    case kMenuStartDownload:
    case kMenuTrayStart:
      hooks_->StartCommand();
      break;
    case kMenuStopDownload:
    case kMenuTrayStop:
      hooks_->TaskCommand(kButtonStop);
      break;
    case kMenuPauseDownload:
      hooks_->TaskCommand(kButtonPause);
      break;
    case kMenuRedownload:
      hooks_->TaskCommand(kButtonStart);
      break;
    case kMenuDeleteTask:
      hooks_->TaskCommand(kButtonDelete);
      break;
    case kMenuContinuousDownload:
      ToggleContinuousDownload();
      break;
    case kMenuOpenDownloadFolder:
      OpenDownloadFolder();
      break;
    case kMenuDeleteTemporaryFiles:
    case kMenuMergeVideo:
      // Only the check mark: the merge step reads config.ini, not the menu.
      ToggleCheck(itemId);
      break;
    case kMenuViewSwitch:
      SwitchView();
      break;
    case kMenuClearLog:
      log_.Clear();
      break;
    case kMenuOptions:
      hooks_->TaskCommand(kButtonOptions);
      break;
    case kMenuVideoResources:
      OpenOptionsOnPage("2");
      break;
    case kMenuAbout:
      OpenOptionsOnPage("1");
      break;
    case kMenuCheckUpdates:
    default:
      break;
  }
}

void MainWindow::OnToolbarClick(int index) { hooks_->TaskCommand(index); }

void MainWindow::OnListSelectionChanged(qr::ui::ListView& list) {
  if (&list == &parts_.queue) hooks_->QueueSelectionChanged();
}

void MainWindow::OnTrayEvent(int kind) {
  switch (kind) {
    case qr::ui::kTrayLeftClick:
    case qr::ui::kTrayDoubleClick:
      model_.window.SetVisible(true);
      break;
    case qr::ui::kTrayMenuRequest:
      SaveQueue();
      services_.ShowPopupMenu(kTrayMenu);
      break;
    default:
      break;
  }
}

void MainWindow::OnRaiseRequest() {
  model_.window.SetMinimised(false);
  model_.window.SetVisible(true);
  model_.window.RequestRaise();
}

void MainWindow::ToggleContinuousDownload() {
  // The switch starts empty although the item starts checked, so the first
  // click turns continuous download explicitly off.
  const bool checked = model_.menu.IsChecked(kMenuContinuousDownload);
  model_.menu.SetChecked(kMenuContinuousDownload, !checked);
  objects_.ContinuousDownload().Set(std::string(checked ? qr::settings::kNo : qr::settings::kYes));
}

void MainWindow::ToggleCheck(int itemId) { model_.menu.SetChecked(itemId, !model_.menu.IsChecked(itemId)); }

void MainWindow::SwitchView() {
  if (model_.menu.Caption(kMenuViewSwitch) == kShowLogCaption) {
    model_.pages.SetCurrentPage(kLogPage);
    model_.menu.SetCaption(kMenuViewSwitch, std::string(kShowQueueCaption));
  } else {
    model_.pages.SetCurrentPage(kQueuePage);
    model_.menu.SetCaption(kMenuViewSwitch, std::string(kShowLogCaption));
  }
}

void MainWindow::OpenDownloadFolder() {
  std::string folder = qr::settings::ReadSetting(qr::settings::kDownloadFolder);
  folder += qr::files::PathSeparator();
  services_.OpenWithShell(folder);
}

void MainWindow::OpenOptionsOnPage(const char* pageTag) {
  // The tag is never cleared: "选项" later opens on the page chosen last.
  parts_.queue.SetTag(pageTag);
  hooks_->OpenOptionsWindow(false);
}

}  // namespace qr::app
