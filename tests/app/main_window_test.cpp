#include "app/main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/menu_ids.h"
#include "main_window_fixture.h"
#include "queue/download_task.h"

namespace qr::app {
namespace {

using qr::testing::MainWindowTest;
using qr::testing::RecordingHooks;

// The menu tree as "caption" lines; separators as "-", check items with "[x]"
// or "[ ]", hidden menus with "(hidden)".
std::vector<std::string> DescribeMenus(const qr::ui::MenuBar& menu) {
  std::vector<std::string> lines;
  for (const auto& top : menu.Menus()) {
    lines.push_back(top.caption + (top.hidden ? " (hidden)" : ""));
    for (const auto& item : top.items) {
      if (item.separator) {
        lines.push_back("  -");
      } else {
        lines.push_back("  " + item.caption + (item.checkable ? (item.checked ? " [x]" : " [ ]") : ""));
      }
    }
  }
  return lines;
}

TEST_F(MainWindowTest, MenuTreeInOrderWithSeparatorsCheckItemsAndHiddenTrayMenu) {
  Open();
  EXPECT_EQ(DescribeMenus(window_->Model().menu), (std::vector<std::string>{"任务",
                                                                            "  添加任务",
                                                                            "  -",
                                                                            "  导出",
                                                                            "  导入",
                                                                            "  -",
                                                                            "  退出",
                                                                            "下载",
                                                                            "  开始下载",
                                                                            "  停止下载",
                                                                            "  暂停下载",
                                                                            "  重新下载",
                                                                            "  删除任务",
                                                                            "  -",
                                                                            "  连续下载 [x]",
                                                                            "文件",
                                                                            "  打开下载目录",
                                                                            "  删除临时文件 [x]",
                                                                            "  自动合并视频 [x]",
                                                                            "查看",
                                                                            "  显示日志",
                                                                            "  清空日志",
                                                                            "  -",
                                                                            "  选项",
                                                                            "帮助",
                                                                            "  影视资源",
                                                                            "  -",
                                                                            "  检查更新",
                                                                            "  -",
                                                                            "  关于M3U8",
                                                                            "托盘菜单 (hidden)",
                                                                            "  开始任务",
                                                                            "  停止任务",
                                                                            "  -",
                                                                            "  退出程序"}));
}

TEST_F(MainWindowTest, WindowToolbarPagesAndListsAsTheyOpen) {
  Open();
  auto& model = window_->Model();
  EXPECT_EQ(model.window.Title(), "Quillreel V 2.0.8");
  const auto geometry = model.window.Geometry();
  EXPECT_EQ((std::vector<int>{geometry.x, geometry.y, geometry.width, geometry.height}),
            (std::vector<int>{50, 50, 584, 464}));
  EXPECT_TRUE(model.window.IsVisible());

  std::vector<std::string> buttons;
  for (int i = 0; i < model.toolbar.ButtonCount(); ++i) {
    const auto button = model.toolbar.Button(i);
    buttons.push_back(button.caption + "|" + button.tip + "|" + (button.enabled ? "on" : "off"));
  }
  EXPECT_EQ(buttons, (std::vector<std::string>{"新建任务|新增一条下载任务|on", "开始||on", "暂停||off", "停止||off",
                                               "删除任务||off", "清空队列||on", "选项||on"}));

  ASSERT_EQ(model.pages.PageCount(), 2);
  EXPECT_EQ(model.pages.Title(0), "下载");
  EXPECT_EQ(model.pages.Title(1), "日志");
  EXPECT_EQ(model.pages.Content(0), &window_->QueueView());
  EXPECT_EQ(model.pages.Content(1), &window_->LogView());
  EXPECT_EQ(model.pages.CurrentPage(), 0);

  std::vector<std::string> columns;
  for (const auto& column : window_->QueueView().Columns())
    columns.push_back(column.title + std::to_string(column.width));
  EXPECT_EQ(columns, (std::vector<std::string>{"文件名135", "地址0", "目录0", "文件数量75", "状态60", "传输进度60",
                                               "连接状态180", "线程36"}));
  columns.clear();
  for (const auto& column : window_->LogView().Columns())
    columns.push_back(column.title + std::to_string(column.width));
  EXPECT_EQ(columns, (std::vector<std::string>{"序号50", "日志记录500"}));
  EXPECT_EQ(window_->QueueView().Font().face, "微软雅黑");
  EXPECT_EQ(window_->LogView().Font().points, 9);
  EXPECT_EQ(window_->ProgressTimer().Interval(), 0);
  EXPECT_FALSE(model.tray.IsPresent());
}

TEST_F(MainWindowTest, ContinuousDownloadGoesFromEmptyToOffToOn) {
  Open();
  EXPECT_EQ(objects_.ContinuousDownload().Get(), "");
  ASSERT_TRUE(view_->ClickMenu(kMenuContinuousDownload));
  EXPECT_EQ(objects_.ContinuousDownload().Get(), "假");
  EXPECT_FALSE(window_->Model().menu.IsChecked(kMenuContinuousDownload));
  view_->ClickMenu(kMenuContinuousDownload);
  EXPECT_EQ(objects_.ContinuousDownload().Get(), "真");
  EXPECT_TRUE(window_->Model().menu.IsChecked(kMenuContinuousDownload));
  view_->ClickMenu(kMenuContinuousDownload);
  EXPECT_EQ(objects_.ContinuousDownload().Get(), "假");
}

TEST_F(MainWindowTest, FileCheckItemsOnlyToggleTheirMarks) {
  Open();
  view_->ClickMenu(kMenuDeleteTemporaryFiles);
  EXPECT_FALSE(window_->Model().menu.IsChecked(kMenuDeleteTemporaryFiles));
  EXPECT_TRUE(window_->Model().menu.IsChecked(kMenuMergeVideo));
  view_->ClickMenu(kMenuDeleteTemporaryFiles);
  view_->ClickMenu(kMenuMergeVideo);
  EXPECT_TRUE(window_->Model().menu.IsChecked(kMenuDeleteTemporaryFiles));
  EXPECT_FALSE(window_->Model().menu.IsChecked(kMenuMergeVideo));
  EXPECT_FALSE(qr::files::FileExists(PathOf("config.ini")));
}

TEST_F(MainWindowTest, ViewSwitchShowsTheLogAndBackWithItsCaption) {
  Open();
  auto& model = window_->Model();
  ASSERT_TRUE(view_->ClickMenu("查看", "显示日志"));
  EXPECT_EQ(model.pages.CurrentPage(), 1);
  EXPECT_EQ(model.menu.Caption(kMenuViewSwitch), "显示下载");
  ASSERT_TRUE(view_->ClickMenu("查看", "显示下载"));
  EXPECT_EQ(model.pages.CurrentPage(), 0);
  EXPECT_EQ(model.menu.Caption(kMenuViewSwitch), "显示日志");
}

TEST_F(MainWindowTest, OpenDownloadFolderHandsTheConfiguredFolderToTheShell) {
  WriteConfig("[编辑框]\r\n编辑框_目录=D:\\下载\r\n");
  Open();
  view_->ClickMenu(kMenuOpenDownloadFolder);
  EXPECT_EQ(toolkit_.ShellOpened(), std::vector<std::string>{"D:\\下载" + std::string(1, qr::files::PathSeparator())});
}

TEST_F(MainWindowTest, CommandsOfTheQueueControllerReachItsHooksWithTheirNumbers) {
  Open();
  // Without hooks they do nothing at all.
  for (int id : {kMenuAddTask, kMenuStartDownload, kMenuStopDownload, kMenuPauseDownload, kMenuRedownload,
                 kMenuDeleteTask, kMenuOptions, kMenuCheckUpdates, kMenuTrayStart, kMenuTrayStop}) {
    view_->ClickMenu(id);
  }
  view_->ClickToolbar(0);
  EXPECT_EQ(window_->LogView().RowCount(), 0);
  EXPECT_TRUE(toolkit_.ShownMessages().empty());

  RecordingHooks hooks;
  window_->SetTaskControlHooks(&hooks);
  for (int id : {kMenuAddTask, kMenuRedownload, kMenuPauseDownload, kMenuStopDownload, kMenuDeleteTask, kMenuOptions,
                 kMenuStartDownload, kMenuTrayStart, kMenuTrayStop, kMenuCheckUpdates}) {
    view_->ClickMenu(id);
  }
  view_->ClickToolbar(5);
  EXPECT_FALSE(view_->ClickToolbar(2));  // starts disabled
  window_->Model().toolbar.SetEnabled(2, true);
  view_->ClickToolbar(2);
  view_->SelectRow(window_->QueueView(), -1);
  view_->SelectRow(window_->LogView(), -1);
  window_->ProgressTimer().SetInterval(1000);
  view_->TickTimers();
  EXPECT_EQ(hooks.calls, (std::vector<std::string>{"task 0", "task 1", "task 2", "task 3", "task 4", "task 6", "start",
                                                   "start", "task 3", "task 5", "task 2", "selection", "tick"}));
  window_->SetTaskControlHooks(nullptr);
}

TEST_F(MainWindowTest, AboutAndResourcesChooseTheOptionsPageThatStaysChosen) {
  Open();
  RecordingHooks hooks;
  window_->SetTaskControlHooks(&hooks);
  EXPECT_EQ(window_->QueueView().Tag(), "");
  view_->ClickMenu(kMenuAbout);
  EXPECT_EQ(window_->QueueView().Tag(), "1");
  view_->ClickMenu(kMenuOptions);
  EXPECT_EQ(window_->QueueView().Tag(), "1");
  view_->ClickMenu(kMenuVideoResources);
  EXPECT_EQ(window_->QueueView().Tag(), "2");
  EXPECT_EQ(hooks.calls, (std::vector<std::string>{"options", "task 6", "options"}));
  window_->SetTaskControlHooks(nullptr);
}

TEST_F(MainWindowTest, TrayIconAtStartOnlyWhenTheSettingIsExactlyTrue) {
  WriteConfig("[选择框]\r\n选择框_启动托盘图标=真\r\n");
  Open();
  EXPECT_TRUE(window_->Model().tray.IsPresent());
  EXPECT_EQ(window_->Model().tray.Tip(), "双击打开主程序,右键弹出菜单!");
}

TEST_F(MainWindowTest, NoTrayIconAtStartForAnyOtherValue) {
  WriteConfig("[选择框]\r\n选择框_启动托盘图标=假\r\n");
  Open();
  EXPECT_FALSE(window_->Model().tray.IsPresent());
}

TEST_F(MainWindowTest, StartLoadsTheQueueAndExitSavesItTwice) {
  Write("download.ini", "a,http://a.m3u8,D:\\v,排队等待\r\nb,http://b.m3u8,D:\\v,排队等待\r\n");
  Open();
  ASSERT_EQ(window_->QueueView().RowCount(), 2);
  window_->QueueView().DeleteRow(0);

  view_->ClickMenu(kMenuExit);
  EXPECT_EQ(Read("download.ini"), "b,http://b.m3u8,D:\\v,排队等待\r\n");
  // The destroy handler saves again: a file removed in between comes back.
  ASSERT_TRUE(qr::files::RemoveFile(PathOf("download.ini")));
  EXPECT_FALSE(view_->IsDestroyed());
  toolkit_.DrainPosted();
  EXPECT_TRUE(view_->IsDestroyed());
  EXPECT_EQ(Read("download.ini"), "b,http://b.m3u8,D:\\v,排队等待\r\n");
  EXPECT_TRUE(toolkit_.QuitRequested());
  EXPECT_EQ(toolkit_.ExitCode(), 0);
}

TEST_F(MainWindowTest, TrayExitSavesTheQueueAndEnds) {
  Open();
  window_->QueueView().AddRow(qr::queue::QueuedTaskRow("t", "http://t.m3u8", "d"));
  view_->ClickMenu(kMenuTrayExit);
  toolkit_.DrainPosted();
  EXPECT_TRUE(view_->IsDestroyed());
  EXPECT_EQ(Read("download.ini"), "t,http://t.m3u8,d,排队等待\r\n");
}

TEST_F(MainWindowTest, SecondCopyTellsTheUserAsksForARaiseAndNeverTouchesTheQueueFile) {
  const std::string queue = "a,http://a.m3u8,D:\\v,排队等待\r\n\r\n";  // a save would drop the blank line
  Write("download.ini", queue);
  Open(false);
  EXPECT_FALSE(window_->Model().window.IsVisible());
  EXPECT_TRUE(toolkit_.QuitRequested());
  EXPECT_EQ(toolkit_.ExitCode(), 0);
  const auto shown = toolkit_.ShownMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "程序已经运行!");
  EXPECT_EQ(shown[0].title, "友情提醒:");
  EXPECT_EQ(shown[0].style & qr::ui::message_box::kIconMask, 64);
  EXPECT_FALSE(shown[0].ownedByMainWindow);
  EXPECT_EQ(instance_->raiseAsks_, 1);
  EXPECT_EQ(window_->QueueView().RowCount(), 0);
  window_->SaveQueue();
  window_->OnDestroyed();
  EXPECT_EQ(Read("download.ini"), queue);
}

TEST_F(MainWindowTest, RaiseRequestFromAnotherCopyShowsAndRaisesTheWindow) {
  Open();
  window_->Model().window.SetVisible(false);
  window_->Model().window.SetMinimised(true);
  instance_->onRaise_();  // as the listener thread would
  EXPECT_EQ(window_->Model().window.RaiseRequests(), 0);
  toolkit_.DrainPosted();
  EXPECT_EQ(window_->Model().window.RaiseRequests(), 1);
  EXPECT_TRUE(window_->Model().window.IsVisible());
  EXPECT_FALSE(window_->Model().window.IsMinimised());
}

TEST_F(MainWindowTest, CloseButtonDoesNothingUnlessConfigured) {
  Open();
  EXPECT_FALSE(view_->Close());
  EXPECT_TRUE(window_->Model().window.IsVisible());
  EXPECT_FALSE(window_->Model().tray.IsPresent());
  EXPECT_FALSE(qr::files::FileExists(PathOf("download.ini")));
}

TEST_F(MainWindowTest, CloseHidesInTheTrayAndAClickBringsTheWindowBack) {
  WriteConfig("[单选框]\r\n单选框_退出=假\r\n单选框_最小化=真\r\n");
  Open();
  EXPECT_FALSE(view_->Close());
  EXPECT_FALSE(window_->Model().window.IsVisible());
  EXPECT_TRUE(window_->Model().tray.IsPresent());
  view_->TrayEvent(qr::ui::kTrayLeftClick);
  EXPECT_TRUE(window_->Model().window.IsVisible());
  EXPECT_TRUE(window_->Model().tray.IsPresent());
}

TEST_F(MainWindowTest, CloseExitsWhenConfiguredAndTheExitSettingWins) {
  WriteConfig("[单选框]\r\n单选框_退出=真\r\n单选框_最小化=真\r\n[选择框]\r\n选择框_启动托盘图标=真\r\n");
  Open();
  window_->QueueView().AddRow(qr::queue::QueuedTaskRow("t", "http://t.m3u8", "d"));
  EXPECT_TRUE(view_->Close());
  EXPECT_TRUE(view_->IsDestroyed());
  EXPECT_FALSE(window_->Model().tray.IsPresent());
  EXPECT_EQ(Read("download.ini"), "t,http://t.m3u8,d,排队等待\r\n");
}

TEST_F(MainWindowTest, TrayRightClickSavesTheQueueBeforeTheMenuAppears) {
  Open();
  window_->QueueView().AddRow(qr::queue::QueuedTaskRow("t", "http://t.m3u8", "d"));
  view_->TrayEvent(qr::ui::kTrayMenuRequest);
  EXPECT_EQ(Read("download.ini"), "t,http://t.m3u8,d,排队等待\r\n");
  EXPECT_EQ(toolkit_.PoppedUpMenus(), std::vector<int>{kTrayMenu});
  EXPECT_EQ(window_->Model().menu.Menus()[kTrayMenu].caption, "托盘菜单");
}

TEST_F(MainWindowTest, ImportAndExportMenuItemsUseTheFileDialogs) {
  WriteConfig("编辑框_目录=D:\\v\r\n");
  Write("in.txt", "a,http://a.m3u8\r\n");
  Open();
  toolkit_.QueueOpenFile(PathOf("in.txt"));
  view_->ClickMenu("任务", "导入");
  ASSERT_EQ(window_->QueueView().RowCount(), 1);
  toolkit_.QueueSaveFile(PathOf("out.txt"));
  view_->ClickMenu("任务", "导出");
  EXPECT_EQ(Read("out.txt"), "a,http://a.m3u8\r\n");
}

}  // namespace
}  // namespace qr::app
