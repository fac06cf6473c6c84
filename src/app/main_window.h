// The main window's logic: start-up (single instance, tray icon, queue),
// menu, toolbar and tray commands, the close button and exit. It works on the
// window's models only; a backend renders them and calls the WindowEvents.
//
// A front end's main is, in outline:
//   qr::app::ProcessObjects objects;
//   SomeToolkit toolkit;                          // implements ToolkitServices
//   qr::app::MainWindow window(objects, toolkit);
//   return SomeBackendWindow(window.Model(), window, toolkit).Run();
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/app_log.h"
#include "app/main_window_layout.h"
#include "app/process_objects.h"
#include "app/single_instance.h"
#include "app/task_control_hooks.h"
#include "ui/toolkit/main_window_model.h"
#include "ui/toolkit/toolkit_services.h"
#include "ui/toolkit/window_events.h"

namespace qr::app {

class MainWindow : public qr::ui::WindowEvents {
 public:
  // `instance` empty: the system's own single-instance marker.
  MainWindow(ProcessObjects& objects, qr::ui::ToolkitServices& services,
             std::unique_ptr<SingleInstance> instance = nullptr);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  qr::ui::MainWindowModel& Model() { return model_; }
  qr::ui::ListView& QueueView() { return parts_.queue; }
  qr::ui::ListView& LogView() { return parts_.log; }
  qr::ui::Timer& ProgressTimer() { return parts_.progressTimer; }
  AppLog& Log() { return log_; }

  // The queue controller and the options window plug in here; null: none.
  void SetTaskControlHooks(TaskControlHooks* hooks);

  // The exit command: save the queue, then destroy the window (whose destroy
  // handler saves it once more).
  void ExitCommand();
  void SaveQueue();

  // WindowEvents
  bool OnCreated() override;
  bool OnCloseQuery() override;
  void OnDestroyed() override;
  void OnMenuCommand(int itemId) override;
  void OnToolbarClick(int index) override;
  void OnListSelectionChanged(qr::ui::ListView& list) override;
  void OnTrayEvent(int kind) override;
  void OnRaiseRequest() override;

 private:
  void ToggleContinuousDownload();
  void ToggleCheck(int itemId);
  void SwitchView();
  void OpenDownloadFolder();
  void OpenOptionsOnPage(const char* pageTag);

  ProcessObjects& objects_;
  qr::ui::ToolkitServices& services_;
  std::unique_ptr<SingleInstance> instance_;
  qr::ui::MainWindowModel model_;
  MainWindowParts parts_;
  AppLog log_;
  TaskControlHooks noHooks_;
  TaskControlHooks* hooks_ = &noHooks_;
  // The queue is saved only by a copy that loaded it: a second copy ends
  // before loading and must leave download.ini alone.
  bool queueLoaded_ = false;
};

}  // namespace qr::app
