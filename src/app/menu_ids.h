// The ids of the main window's menu items.
#pragma once

namespace qr::app {

enum MenuId : int {
  // 任务
  kMenuAddTask = 101,
  kMenuExport,
  kMenuImport,
  kMenuExit,
  // 下载
  kMenuStartDownload = 201,
  kMenuStopDownload,
  kMenuPauseDownload,
  kMenuRedownload,
  kMenuDeleteTask,
  kMenuContinuousDownload,
  // 文件
  kMenuOpenDownloadFolder = 301,
  kMenuDeleteTemporaryFiles,
  kMenuMergeVideo,
  // 查看
  kMenuViewSwitch = 401,
  kMenuClearLog,
  kMenuOptions,
  // 帮助
  kMenuVideoResources = 501,
  kMenuCheckUpdates,
  kMenuAbout,
  // 托盘菜单 (popped up from the tray icon, never in the menu bar)
  kMenuTrayStart = 601,
  kMenuTrayStop,
  kMenuTrayExit,
};

// Top-level menus by index.
enum TopMenuIndex : int { kTaskMenu = 0, kDownloadMenu, kFileMenu, kViewMenu, kHelpMenu, kTrayMenu };

// Toolbar buttons by index; the index is the task command number.
enum ToolbarIndex : int {
  kButtonNewTask = 0,
  kButtonStart,
  kButtonPause,
  kButtonStop,
  kButtonDelete,
  kButtonClearQueue,
  kButtonOptions,
};

// Pages of the main window's page control.
enum PageIndex : int { kQueuePage = 0, kLogPage = 1 };

}  // namespace qr::app
