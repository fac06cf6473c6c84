#include <algorithm>
#include <thread>

#include "app/menu_ids.h"
#include "win32_test_support.h"

namespace qr::testing {
namespace {

using qr::ui::win32::kFirstToolbarCommand;

TEST_F(Win32WindowTest, OpensWithTheModelsTitlePlaceSizeAndListColumns) {
  ASSERT_TRUE(Open());
  EXPECT_TRUE(IsWindowVisible(Main()));
  EXPECT_EQ(WindowText(Main()), L"Quillreel V 2.0.8");
  RECT bounds{};
  GetWindowRect(Main(), &bounds);
  EXPECT_EQ(bounds.left, 50);
  EXPECT_EQ(bounds.top, 50);
  EXPECT_EQ(bounds.right - bounds.left, 584);
  EXPECT_EQ(bounds.bottom - bounds.top, 464);

  // Every column is there, the zero-wide ones too, with its title and width.
  for (auto [list, model] : {std::pair{QueueList(), &parts_->queue}, std::pair{LogList(), &parts_->log}}) {
    const auto columns = model->Columns();
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(columns.size()));
    for (int index = 0; index < static_cast<int>(columns.size()); ++index) {
      wchar_t title[64] = {};
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.pszText = title;
      column.cchTextMax = 64;
      ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
      EXPECT_EQ(title, Wide(columns[index].title));
      EXPECT_EQ(column.cx, columns[index].width) << index;
    }
    EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & LVS_REPORT);
    EXPECT_TRUE(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);

    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -12);
    // The face asked for, or one of its stand-ins on systems without it.
    const std::wstring face = font.lfFaceName;
    EXPECT_TRUE(face == Wide("微软雅黑") || face == L"Microsoft YaHei" || face == L"SimSun") << face.size();
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
  }

  // The lists start at the window's left edge, below the toolbar and the tabs.
  RECT list{};
  GetWindowRect(QueueList(), &list);
  MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&list), 2);
  RECT toolbar{};
  GetWindowRect(Toolbar(), &toolbar);
  MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&toolbar), 2);
  EXPECT_EQ(list.left, 0);
  EXPECT_GT(list.top, toolbar.bottom);
}

TEST_F(Win32WindowTest, ToolbarShowsTheButtonsAndFollowsTheModel) {
  ASSERT_TRUE(Open());
  ASSERT_EQ(SendMessageW(Toolbar(), TB_BUTTONCOUNT, 0, 0), model_.toolbar.ButtonCount());
  for (int index = 0; index < model_.toolbar.ButtonCount(); ++index) {
    wchar_t text[64] = {};
    SendMessageW(Toolbar(), TB_GETBUTTONTEXTW, kFirstToolbarCommand + index, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(text, Wide(model_.toolbar.Caption(index)));
    EXPECT_EQ(SendMessageW(Toolbar(), TB_ISBUTTONENABLED, kFirstToolbarCommand + index, 0) != 0,
              model_.toolbar.IsEnabled(index))
        << index;
  }

  std::thread([this] {
    model_.toolbar.SetEnabled(qr::app::kButtonPause, true);
    model_.toolbar.SetCaption(qr::app::kButtonPause, "恢复");
  }).join();
  ASSERT_TRUE(PumpUntil([this] {
    return SendMessageW(Toolbar(), TB_ISBUTTONENABLED, kFirstToolbarCommand + qr::app::kButtonPause, 0) != 0;
  }));
  wchar_t text[64] = {};
  SendMessageW(Toolbar(), TB_GETBUTTONTEXTW, kFirstToolbarCommand + qr::app::kButtonPause,
               reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"恢复");

  // Clicks reach the program only from enabled buttons; the tip is the model's.
  SendMessageW(Main(), WM_COMMAND, kFirstToolbarCommand + qr::app::kButtonPause, reinterpret_cast<LPARAM>(Toolbar()));
  SendMessageW(Main(), WM_COMMAND, kFirstToolbarCommand + qr::app::kButtonStop, reinterpret_cast<LPARAM>(Toolbar()));
  EXPECT_EQ(events_.calls.back(), "toolbar 2");

  NMTTDISPINFOW tip{};
  tip.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageW(Toolbar(), TB_GETTOOLTIPS, 0, 0));
  tip.hdr.idFrom = kFirstToolbarCommand + qr::app::kButtonNewTask;
  tip.hdr.code = TTN_GETDISPINFOW;
  SendMessageW(Main(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
  ASSERT_NE(tip.lpszText, nullptr);
  EXPECT_EQ(std::wstring(tip.lpszText), Wide("新增一条下载任务"));
}

TEST_F(Win32WindowTest, MenuBarHoldsTheShownMenusInOrderAndKeepsTheTrayMenuAside) {
  ASSERT_TRUE(Open());
  HMENU bar = GetMenu(Main());
  ASSERT_NE(bar, nullptr);
  const auto menus = model_.menu.Menus();
  std::vector<const qr::ui::TopMenu*> shown;
  for (const auto& menu : menus) {
    if (!menu.hidden) shown.push_back(&menu);
  }
  ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(shown.size()));
  for (int position = 0; position < static_cast<int>(shown.size()); ++position) {
    EXPECT_EQ(MenuText(bar, position), Wide(shown[position]->caption));
    HMENU popup = GetSubMenu(bar, position);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(shown[position]->items.size()));
    for (int index = 0; index < GetMenuItemCount(popup); ++index) {
      const auto& item = shown[position]->items[index];
      const UINT state = GetMenuState(popup, static_cast<UINT>(index), MF_BYPOSITION);
      EXPECT_EQ((state & MF_SEPARATOR) != 0, item.separator);
      if (item.separator) continue;
      EXPECT_EQ(MenuText(popup, index), Wide(item.caption));
      EXPECT_EQ(GetMenuItemID(popup, index), static_cast<UINT>(item.id));
      EXPECT_EQ((state & MF_CHECKED) != 0, item.checked) << MenuText(popup, index).size();
    }
  }

  // Check marks and captions follow the model, whichever thread changes it.
  std::thread([this] {
    model_.menu.SetChecked(qr::app::kMenuContinuousDownload, false);
    model_.menu.SetCaption(qr::app::kMenuViewSwitch, "显示下载");
  }).join();
  ASSERT_TRUE(PumpUntil([this] {
    return (GetMenuState(GetMenu(Main()), qr::app::kMenuContinuousDownload, MF_BYCOMMAND) & MF_CHECKED) == 0;
  }));
  wchar_t caption[64] = {};
  GetMenuStringW(GetMenu(Main()), qr::app::kMenuViewSwitch, caption, 64, MF_BYCOMMAND);
  EXPECT_STREQ(caption, L"显示下载");

  // A chosen item reaches the program by its id; a disabled or unknown one does not.
  SendMessageW(Main(), WM_COMMAND, qr::app::kMenuClearLog, 0);
  EXPECT_EQ(events_.calls.back(), "menu " + std::to_string(qr::app::kMenuClearLog));
  const auto callsBefore = events_.calls.size();
  model_.menu.SetEnabled(qr::app::kMenuAbout, false);
  SendMessageW(Main(), WM_COMMAND, qr::app::kMenuAbout, 0);
  SendMessageW(Main(), WM_COMMAND, 999, 0);
  EXPECT_EQ(events_.calls.size(), callsBefore);
}

TEST_F(Win32WindowTest, RowsChangedOnOtherThreadsReachTheListInOrder) {
  ASSERT_TRUE(Open());
  constexpr int kRows = 300;
  std::thread writer([this] {
    for (int row = 0; row < kRows; ++row) {
      parts_->log.AddRow({std::to_string(row + 1), "第" + std::to_string(row) + "行"});
      parts_->log.EnsureVisible(row);
    }
    parts_->log.SetCell(0, 1, "改过的日志");
  });
  writer.join();
  ASSERT_TRUE(PumpUntil([this] { return ListView_GetItemCount(LogList()) == kRows; }));
  EXPECT_EQ(ListCellText(LogList(), 0, 1), L"改过的日志");
  EXPECT_EQ(ListCellText(LogList(), kRows - 1, 0), std::to_wstring(kRows));
  EXPECT_EQ(ListCellText(LogList(), kRows - 1, 1), Wide("第299行"));

  parts_->queue.AddRow({"电影一", "http://127.0.0.1/a.m3u8", "D:\\视频", "", "排队等待"});
  parts_->queue.AddRow({"电影二", "http://127.0.0.1/b.m3u8", "D:\\视频", "", "排队等待"});
  parts_->queue.SetSelectedRow(1);
  parts_->queue.DeleteRow(0);
  ASSERT_TRUE(PumpUntil([this] { return ListView_GetItemCount(QueueList()) == 1; }));
  EXPECT_EQ(ListCellText(QueueList(), 0, 0), L"电影二");
  EXPECT_EQ(ListView_GetNextItem(QueueList(), -1, LVNI_SELECTED), 0);
  parts_->queue.Clear();
  ASSERT_TRUE(PumpUntil([this] { return ListView_GetItemCount(QueueList()) == 0; }));
  EXPECT_EQ(ListCellText(QueueList(), 0, 0), L"");
}

TEST_F(Win32WindowTest, PickingARowTellsTheProgramOnceButProgramChangesDoNot) {
  ASSERT_TRUE(Open());
  parts_->queue.AddRow({"甲"});
  parts_->queue.AddRow({"乙"});
  parts_->queue.SetSelectedRow(0);
  Pump();
  EXPECT_EQ(std::count(events_.calls.begin(), events_.calls.end(), "selection"), 0);

  ListView_SetItemState(QueueList(), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Pump();
  EXPECT_EQ(parts_->queue.SelectedRow(), 1);
  EXPECT_EQ(std::count(events_.calls.begin(), events_.calls.end(), "selection"), 1);
}

TEST_F(Win32WindowTest, ZeroWideColumnsCannotBeDraggedOpen) {
  ASSERT_TRUE(Open());
  HWND header = reinterpret_cast<HWND>(SendMessageW(QueueList(), LVM_GETHEADER, 0, 0));
  auto tryTrack = [&](int column) {
    NMHEADERW track{};
    track.hdr.hwndFrom = header;
    track.hdr.idFrom = GetDlgCtrlID(header);
    track.hdr.code = HDN_BEGINTRACKW;
    track.iItem = column;
    return SendMessageW(Main(), WM_NOTIFY, track.hdr.idFrom, reinterpret_cast<LPARAM>(&track));
  };
  EXPECT_EQ(tryTrack(0), FALSE);  // 文件名, 135 wide
  EXPECT_EQ(tryTrack(1), TRUE);   // 地址, hidden
  EXPECT_EQ(tryTrack(2), TRUE);   // 目录, hidden
  EXPECT_EQ(tryTrack(3), FALSE);
}

TEST_F(Win32WindowTest, PagesFollowTheModelAndTheTabs) {
  ASSERT_TRUE(Open());
  EXPECT_TRUE(IsWindowVisible(QueueList()));
  EXPECT_FALSE(IsWindowVisible(LogList()));
  std::thread([this] { model_.pages.SetCurrentPage(qr::app::kLogPage); }).join();
  ASSERT_TRUE(PumpUntil([this] { return IsWindowVisible(LogList()) != FALSE; }));
  EXPECT_FALSE(IsWindowVisible(QueueList()));
  EXPECT_EQ(SendMessageW(Tabs(), TCM_GETCURSEL, 0, 0), 1);

  // The person picks the first tab: the model learns it, then the program.
  SendMessageW(Tabs(), TCM_SETCURSEL, 0, 0);
  NMHDR change{Tabs(), static_cast<UINT_PTR>(qr::ui::win32::kPageTabsId), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(Main(), WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(model_.pages.CurrentPage(), 0);
  EXPECT_EQ(events_.calls.back(), "page 0");
  EXPECT_TRUE(IsWindowVisible(QueueList()));
}

TEST_F(Win32WindowTest, TimerTicksOnTheWindowThreadUntilItsIntervalIsZero) {
  ASSERT_TRUE(Open());
  const DWORD windowThread = GetCurrentThreadId();
  int ticks = 0;
  bool offThread = false;
  parts_->progressTimer.SetTickHandler([&] {
    ++ticks;
    offThread |= GetCurrentThreadId() != windowThread;
  });
  std::thread([this] { parts_->progressTimer.SetInterval(20); }).join();
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  parts_->progressTimer.SetInterval(0);
  Pump(20);
  const int stoppedAt = ticks;
  Pump(150);
  EXPECT_EQ(ticks, stoppedAt);
  EXPECT_FALSE(offThread);
}

TEST_F(Win32WindowTest, TrayMouseMessagesBecomeTrayEventsAndTheTrayMenuPopsUpAlone) {
  ASSERT_TRUE(Open());
  // The icon's mouse messages: moves and presses mean nothing, releases do.
  for (UINT mouse : {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONUP}) {
    SendMessageW(Main(), qr::ui::win32::kTrayCallbackMessage, 1, mouse);
  }
  EXPECT_EQ(std::vector<std::string>(events_.calls.end() - 2, events_.calls.end()),
            (std::vector<std::string>{"tray 3", "tray 1"}));
  EXPECT_EQ(events_.calls[events_.calls.size() - 3], "created");

  // The hidden tray menu pops up on its own, with its entries in order.
  std::vector<std::wstring> entries;
  InspectWhenShown([&] {
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (popup == nullptr || !IsWindowVisible(popup)) return false;
    auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    for (int index = 0; index < GetMenuItemCount(menu); ++index) entries.push_back(MenuText(menu, index));
    EndMenu();
    return true;
  });
  toolkit_.ShowPopupMenu(qr::app::kTrayMenu);
  EXPECT_EQ(entries, (std::vector<std::wstring>{Wide("开始任务"), Wide("停止任务"), L"", Wide("退出程序")}));
}

TEST_F(Win32WindowTest, MessageBoxesShowChineseTextWithTheAskedOwnerAndAnswer) {
  ASSERT_TRUE(Open());
  struct Seen {
    std::wstring title;
    std::wstring text;
    HWND owner = nullptr;
    bool mainEnabled = true;
  };
  auto inspectBox = [this](Seen& seen, int button) {
    return [this, &seen, button] {
      HWND box = ThreadWindowOfClass(L"#32770");
      if (box == nullptr || !IsWindowVisible(box)) return false;
      seen.title = WindowText(box);
      seen.text = WindowText(GetDlgItem(box, 0xFFFF));
      seen.owner = GetWindow(box, GW_OWNER);
      seen.mainEnabled = IsWindowEnabled(Main()) != FALSE;
      PostMessageW(box, WM_COMMAND, button, 0);
      return true;
    };
  };

  Seen owned;
  InspectWhenShown(inspectBox(owned, IDCANCEL));
  EXPECT_EQ(toolkit_.ShowMessage({"您确定要从 M3U8 下载列表中移除全部的下载任务吗?", "下载任务移除确认",
                                  qr::ui::message_box::kOkCancel, true}),
            qr::ui::message_box::kAnswerCancel);
  EXPECT_EQ(owned.title, Wide("下载任务移除确认"));
  EXPECT_EQ(owned.text, Wide("您确定要从 M3U8 下载列表中移除全部的下载任务吗?"));
  EXPECT_EQ(owned.owner, Main());

  // The single-instance notice: no owner, task-modal (the thread's windows are disabled meanwhile).
  Seen notice;
  InspectWhenShown(inspectBox(notice, IDOK));
  EXPECT_EQ(toolkit_.ShowMessage({"程序已经运行!", "友情提醒:",
                                  qr::ui::message_box::kIconInformation | qr::ui::message_box::kTaskModal, false}),
            qr::ui::message_box::kAnswerOk);
  EXPECT_EQ(notice.title, Wide("友情提醒:"));
  EXPECT_EQ(notice.owner, nullptr);
  EXPECT_FALSE(notice.mainEnabled);
  EXPECT_TRUE(IsWindowEnabled(Main()));
}

TEST_F(Win32WindowTest, OpenDialogShowsTheTitleAndTheFilterAndCancelGivesNoPath) {
  ASSERT_TRUE(Open());
  std::wstring title;
  std::vector<std::wstring> types;
  InspectWhenShown([&] {
    HWND dialog = ThreadWindowOfClass(L"#32770");
    if (dialog == nullptr || !IsWindowVisible(dialog)) return false;
    title = WindowText(dialog);
    HWND typeList = GetDlgItem(dialog, 0x470);  // the file type combo box
    for (int index = 0; index < SendMessageW(typeList, CB_GETCOUNT, 0, 0); ++index) {
      wchar_t text[128] = {};
      SendMessageW(typeList, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
      types.push_back(text);
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return true;
  });
  EXPECT_EQ(toolkit_.ChooseOpenFile(
                {"配置设置(*.txt)|*.txt|文本文件(*.ini)|*.ini|所有文件(*.*)|*.*", "C:\\", "请选择欲导入的文本"}),
            "");
  EXPECT_EQ(title, Wide("请选择欲导入的文本"));
  EXPECT_EQ(types,
            (std::vector<std::wstring>{Wide("配置设置(*.txt)"), Wide("文本文件(*.ini)"), Wide("所有文件(*.*)")}));
}

TEST_F(Win32WindowTest, RefusedCreationDestroysTheWindowWithoutTheDestroyEvent) {
  events_.allowCreate = false;
  EXPECT_FALSE(Open());
  EXPECT_EQ(events_.calls, std::vector<std::string>{"created"});
  EXPECT_FALSE(model_.window.IsVisible());
}

TEST_F(Win32WindowTest, CloseAsksTheProgramAndADestroyEndsTheLoopOnce) {
  ASSERT_TRUE(Open());
  SendMessageW(Main(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(Main()));
  EXPECT_EQ(events_.calls.back(), "close query");

  // The program may hide the window (as a close to the tray does) ...
  model_.tray.Show("双击打开主程序,右键弹出菜单!");
  model_.window.SetVisible(false);
  ASSERT_TRUE(PumpUntil([this] { return !IsWindowVisible(Main()); }));
  // ... and a destroy asked for from another thread ends the loop.
  std::thread([this] { model_.window.RequestDestroy(); }).join();
  MSG message{};
  EXPECT_TRUE(RunUntilQuit(message));
  EXPECT_FALSE(IsWindow(Main()));
  EXPECT_EQ(std::count(events_.calls.begin(), events_.calls.end(), "destroyed"), 1);
  EXPECT_EQ(toolkit_.ExitCode(), 0);
}

TEST_F(Win32WindowTest, TheEndOfTheSessionDestroysTheWindowSoItsDestroyHandlerRuns) {
  ASSERT_TRUE(Open());
  SendMessageW(Main(), WM_ENDSESSION, FALSE, 0);  // cancelled: nothing happens
  EXPECT_TRUE(IsWindow(Main()));
  SendMessageW(Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_FALSE(IsWindow(Main()));
  EXPECT_EQ(events_.calls.back(), "destroyed");
  MSG message{};
  EXPECT_TRUE(RunUntilQuit(message));
}

}  // namespace
}  // namespace qr::testing
