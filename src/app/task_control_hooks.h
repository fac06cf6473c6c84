// The commands of the queue controller and the options window. The main
// window routes its toolbar, menu, tray and timer events for them here;
// until those parts are wired in, every hook does nothing.
#pragma once

#include "ui/toolkit/list_view.h"

namespace qr::app {

class TaskControlHooks {
 public:
  virtual ~TaskControlHooks() = default;

  // Toolbar button n, and the menu items that stand for one (0 new task,
  // 1 start again, 2 pause/resume, 3 stop, 4 delete, 5 clear, 6 options).
  virtual void TaskCommand(int /*n*/) {}
  // "开始下载" and the tray's "开始任务".
  virtual void StartCommand() {}
  // "影视资源" and "关于M3U8" open the options window without an owner; the
  // page it opens on is the queue list's tag.
  virtual void OpenOptionsWindow(bool /*ownedByMainWindow*/) {}
  // The person selected another row of the queue (or none).
  virtual void QueueSelectionChanged() {}
  // The progress timer's tick.
  virtual void ProgressTick() {}
};

}  // namespace qr::app
