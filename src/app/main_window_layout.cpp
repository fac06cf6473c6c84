#include "app/main_window_layout.h"

#include <string>

#include "app/app_log.h"
#include "app/menu_ids.h"
#include "queue/download_task.h"

namespace qr::app {

namespace {

using qr::ui::MenuBar;
using qr::ui::MenuItem;

void AddCommand(MenuBar& menu, int menuIndex, int id, std::string caption) {
  menu.AddItem(menuIndex, MenuItem{id, std::move(caption)});
}

void AddCheckItem(MenuBar& menu, int menuIndex, int id, std::string caption) {
  menu.AddItem(menuIndex, MenuItem{id, std::move(caption), false, true, true, true});
}

void BuildMenus(MenuBar& menu) {
  const int task = menu.AddMenu("任务");
  AddCommand(menu, task, kMenuAddTask, "添加任务");
  menu.AddSeparator(task);
  AddCommand(menu, task, kMenuExport, "导出");
  AddCommand(menu, task, kMenuImport, "导入");
  menu.AddSeparator(task);
  AddCommand(menu, task, kMenuExit, "退出");

  const int download = menu.AddMenu("下载");
  AddCommand(menu, download, kMenuStartDownload, "开始下载");
  AddCommand(menu, download, kMenuStopDownload, "停止下载");
  AddCommand(menu, download, kMenuPauseDownload, "暂停下载");
  AddCommand(menu, download, kMenuRedownload, "重新下载");
  AddCommand(menu, download, kMenuDeleteTask, "删除任务");
  menu.AddSeparator(download);
  AddCheckItem(menu, download, kMenuContinuousDownload, "连续下载");

  const int file = menu.AddMenu("文件");
  AddCommand(menu, file, kMenuOpenDownloadFolder, "打开下载目录");
  AddCheckItem(menu, file, kMenuDeleteTemporaryFiles, "删除临时文件");
  AddCheckItem(menu, file, kMenuMergeVideo, "自动合并视频");

  const int view = menu.AddMenu("查看");
  AddCommand(menu, view, kMenuViewSwitch, std::string(kShowLogCaption));
  AddCommand(menu, view, kMenuClearLog, "清空日志");
  menu.AddSeparator(view);
  AddCommand(menu, view, kMenuOptions, "选项");

  const int help = menu.AddMenu("帮助");
  AddCommand(menu, help, kMenuVideoResources, "影视资源");
  menu.AddSeparator(help);
  AddCommand(menu, help, kMenuCheckUpdates, "检查更新");
  menu.AddSeparator(help);
  AddCommand(menu, help, kMenuAbout, "关于M3U8");

  const int tray = menu.AddMenu("托盘菜单", true);
  AddCommand(menu, tray, kMenuTrayStart, "开始任务");
  AddCommand(menu, tray, kMenuTrayStop, "停止任务");
  menu.AddSeparator(tray);
  AddCommand(menu, tray, kMenuTrayExit, "退出程序");
}

void BuildToolbar(qr::ui::Toolbar& toolbar) {
  toolbar.AddButton({"新建任务", "新增一条下载任务", true});
  toolbar.AddButton({"开始", "", true});
  toolbar.AddButton({"暂停", "", false});
  toolbar.AddButton({"停止", "", false});
  toolbar.AddButton({"删除任务", "", false});
  toolbar.AddButton({"清空队列", "", true});
  toolbar.AddButton({"选项", "", true});
}

}  // namespace

qr::ui::FontSpec ListFont() { return {"微软雅黑", 9, 12, false}; }

MainWindowParts BuildMainWindow(qr::ui::MainWindowModel& model) {
  model.window.SetTitle(std::string(kWindowTitle));
  model.window.SetGeometry({50, 50, 584, 464});
  BuildMenus(model.menu);
  BuildToolbar(model.toolbar);

  qr::ui::ListView& queue = model.AddList();
  queue.SetColumns(qr::queue::QueueColumns());
  queue.SetFont(ListFont());
  qr::ui::ListView& log = model.AddList();
  log.SetColumns(LogColumns());
  log.SetFont(ListFont());
  model.pages.AddPage("下载", &queue);
  model.pages.AddPage("日志", &log);

  qr::ui::Timer& progressTimer = model.AddTimer();  // interval 0: off until a download runs
  return {queue, log, progressTimer};
}

}  // namespace qr::app
