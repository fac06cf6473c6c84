#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/auto_answer_switch.h"
#include "ui/headless/headless_toolkit.h"
#include "ui/toolkit/list_view.h"
#include "ui/toolkit/menu_bar.h"
#include "ui/toolkit/message_auto_answer.h"
#include "ui/toolkit/page_control.h"
#include "ui/toolkit/timer.h"
#include "ui/toolkit/tray_icon.h"

namespace qr::ui {
namespace {

// A backend's mirror of a list, built only from the change records.
struct ListMirror {
  std::vector<std::vector<std::string>> rows;
  int selected = -1;

  void Apply(const ListChange& change) {
    switch (change.kind) {
      case ListChange::Kind::kReset:
        rows = change.rows;
        selected = change.selectedRow;
        break;
      case ListChange::Kind::kRowAdded:
        rows.push_back(change.cells);
        break;
      case ListChange::Kind::kRowDeleted:
        rows.erase(rows.begin() + change.row);
        break;
      case ListChange::Kind::kCleared:
        rows.clear();
        break;
      case ListChange::Kind::kCellChanged:
        rows[change.row][change.column] = change.text;
        break;
      case ListChange::Kind::kSelection:
        selected = change.row;
        break;
      case ListChange::Kind::kEnsureVisible:
        break;
    }
  }
};

TEST(ListViewTest, MirrorFollowsEveryChangeIncludingStateBeforeSubscription) {
  ListView list;
  list.SetColumns({{"a", 10}, {"b", 0}});
  list.AddRow({"x", "y", "dropped"});
  ListMirror mirror;
  list.Subscribe([&mirror](const ListChange& change) { mirror.Apply(change); });

  list.AddRow({"1"});
  list.AddRow({"2", "two"});
  list.SetCell(1, 1, "changed");
  list.SetSelectedRow(2);
  list.DeleteRow(0);
  EXPECT_EQ(mirror.rows, list.Rows());
  EXPECT_EQ(list.Rows(), (std::vector<std::vector<std::string>>{{"1", "changed"}, {"2", "two"}}));
  EXPECT_EQ(mirror.selected, 1);  // the selection stays on its row when a row above goes
  list.DeleteRow(1);
  EXPECT_EQ(list.SelectedRow(), -1);
  EXPECT_EQ(mirror.selected, -1);
}

TEST(ListViewTest, OutOfRangeAccessIsIgnored) {
  ListView list;
  list.SetColumns({{"a", 10}});
  EXPECT_FALSE(list.SetCell(0, 0, "x"));
  list.AddRow();
  EXPECT_FALSE(list.SetCell(0, 1, "x"));
  EXPECT_FALSE(list.DeleteRow(3));
  EXPECT_EQ(list.Cell(5, 0), "");
  list.SetSelectedRow(7);
  EXPECT_EQ(list.SelectedRow(), -1);
}

TEST(ListViewTest, SelectingSaysWhetherTheSelectionChanged) {
  ListView list;
  list.SetColumns({{"a", 10}});
  list.AddRow();
  list.AddRow();
  EXPECT_TRUE(list.SetSelectedRow(1));
  EXPECT_FALSE(list.SetSelectedRow(1));
  EXPECT_TRUE(list.SetSelectedRow(5));  // out of range: none selected, which is a change
  EXPECT_EQ(list.SelectedRow(), -1);
  EXPECT_FALSE(list.SetSelectedRow(-1));
}

TEST(ListViewTest, ChangesFromManyThreadsReachTheListenerInOrder) {
  ListView list;
  list.SetColumns({{"n", 10}});
  ListMirror mirror;
  list.Subscribe([&mirror](const ListChange& change) { mirror.Apply(change); });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&list] {
      for (int i = 0; i < 200; ++i) {
        const int row = list.AddRow({"new"});
        list.SetCell(row, 0, std::to_string(row));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  ASSERT_EQ(list.RowCount(), 800);
  EXPECT_EQ(mirror.rows, list.Rows());
  for (int row = 0; row < 800; ++row) EXPECT_EQ(list.Cell(row, 0), std::to_string(row));
}

TEST(MenuBarTest, ItemsAreFoundByIdAcrossMenusAndSeparatorsAreNotItems) {
  MenuBar menu;
  const int first = menu.AddMenu("first");
  const int hidden = menu.AddMenu("tray", true);
  menu.AddItem(first, {1, "one", false, true, true, true});
  menu.AddSeparator(first);
  menu.AddItem(hidden, {2, "two"});
  std::vector<MenuChange> seen;
  menu.Subscribe([&seen](const MenuChange& change) { seen.push_back(change); });

  EXPECT_EQ(menu.FindMenu("tray"), 1);
  EXPECT_TRUE(menu.Menus()[1].hidden);
  EXPECT_FALSE(menu.Item(0).has_value());
  menu.SetChecked(1, false);
  menu.SetChecked(1, false);  // no change, no record
  menu.SetCaption(2, "deux");
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].kind, MenuChange::Kind::kTree);
  EXPECT_FALSE(seen[1].item.checked);
  EXPECT_EQ(seen[2].item.caption, "deux");
}

TEST(MenuBarTest, OnlyAnExistingEnabledItemCanBeChosen) {
  MenuBar menu;
  const int first = menu.AddMenu("first");
  menu.AddItem(first, {7, "seven"});
  menu.AddSeparator(first);
  EXPECT_TRUE(menu.IsEnabled(7));
  EXPECT_FALSE(menu.IsEnabled(0));  // the separator's id
  EXPECT_FALSE(menu.IsEnabled(8));
  menu.SetEnabled(7, false);
  EXPECT_FALSE(menu.IsEnabled(7));
}

TEST(TrayIconTest, LongTipIsCutAtACharacterBoundary) {
  TrayIcon tray;
  const std::string tip = std::string(61, 'a') + "中文";  // the first Chinese character would straddle byte 62
  tray.Show(tip);
  EXPECT_EQ(tray.Tip(), std::string(61, 'a'));
  tray.Show("双击打开主程序,右键弹出菜单!");
  EXPECT_EQ(tray.Tip(), "双击打开主程序,右键弹出菜单!");
  EXPECT_EQ(tray.ShowCount(), 2);
  tray.Remove();
  EXPECT_FALSE(tray.IsPresent());
}

TEST(PageControlTest, OnlyAPageThatExistsAndDiffersBecomesCurrentAndIsReported) {
  PageControl pages;
  pages.AddPage("下载", nullptr);
  pages.AddPage("日志", nullptr);
  std::vector<int> shown;
  pages.Subscribe([&shown](const PageChange& change) { shown.push_back(change.currentPage); });
  EXPECT_FALSE(pages.SetCurrentPage(0));
  EXPECT_FALSE(pages.SetCurrentPage(2));
  EXPECT_FALSE(pages.SetCurrentPage(-1));
  EXPECT_TRUE(pages.SetCurrentPage(1));
  EXPECT_EQ(pages.CurrentPage(), 1);
  EXPECT_EQ(shown, (std::vector<int>{0, 1}));  // the state on subscription, then the one change
}

TEST(TimerTest, TicksOnlyWhileRunning) {
  Timer timer;
  int ticks = 0;
  timer.SetTickHandler([&] {
    ++ticks;
    timer.SetInterval(0);  // a handler may stop its own timer
  });
  timer.Tick();
  EXPECT_EQ(ticks, 0);
  timer.SetInterval(1000);
  timer.Tick();
  timer.Tick();
  EXPECT_EQ(ticks, 1);
}

TEST(HeadlessToolkitTest, PostedWorkRunsOnTheDrainingThreadInOrder) {
  HeadlessToolkit toolkit;
  std::vector<int> order;
  std::thread poster([&] {
    for (int i = 0; i < 3; ++i) toolkit.PostToWindowThread([&order, i] { order.push_back(i); });
    toolkit.QuitEventLoop(5);
  });
  EXPECT_TRUE(toolkit.RunUntilQuit(std::chrono::seconds(10)));
  poster.join();
  toolkit.DrainPosted();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(toolkit.ExitCode(), 5);
}

TEST(HeadlessToolkitTest, ScriptedAnswersAreUsedInOrderThenDefaults) {
  HeadlessToolkit toolkit;
  toolkit.QueueMessageAnswer(message_box::kAnswerCancel);
  toolkit.QueueOpenFile("a.txt");
  EXPECT_EQ(toolkit.ShowMessage({"q", "t", message_box::kOkCancel}), message_box::kAnswerCancel);
  EXPECT_EQ(toolkit.ShowMessage({"q", "t", message_box::kOkCancel}), message_box::kAnswerOk);
  EXPECT_EQ(toolkit.ChooseOpenFile({}), "a.txt");
  EXPECT_EQ(toolkit.ChooseOpenFile({}), "");
  EXPECT_EQ(toolkit.ShownMessages().size(), 2u);
  EXPECT_EQ(toolkit.OpenFileRequests().size(), 2u);
}

TEST(MessageAutoAnswerTest, YesForAYesNoBoxOkOtherwiseAndOneUtf8LinePerBox) {
  EXPECT_EQ(DefaultMessageAnswer(message_box::kYesNo | message_box::kIconQuestion), message_box::kAnswerYes);
  EXPECT_EQ(DefaultMessageAnswer(message_box::kOkCancel | message_box::kIconWarning), message_box::kAnswerOk);
  EXPECT_EQ(DefaultMessageAnswer(message_box::kIconInformation | message_box::kTaskModal), message_box::kAnswerOk);
  // The texts are code page 936 in the program and UTF-8 on the line.
  EXPECT_EQ(AutoAnsweredMessageLine({"程序已经运行!", "友情提醒:", 64 | message_box::kTaskModal, false}),
            reinterpret_cast<const char*>(u8"message 程序已经运行!|友情提醒:|8256\n"));
}

void SetAutoAnswerVariable(const char* value) {
#ifdef _WIN32
  _putenv_s("QUILLREEL_AUTO_ANSWER", value);
#else
  setenv("QUILLREEL_AUTO_ANSWER", value, 1);
#endif
}

// These tests are built as the programs people run are, without
// QUILLREEL_AUTO_ANSWER: the variable is seen, and answers nothing.
TEST(MessageAutoAnswerTest, OnlyTheTestCopiesOfTheProgramsHeedTheVariable) {
  SetAutoAnswerVariable("1");
  EXPECT_TRUE(AutoAnswerRequested());
  EXPECT_FALSE(qr::apps::ProgramAnswersMessagesItself());
  SetAutoAnswerVariable("");
  EXPECT_FALSE(AutoAnswerRequested());
}

}  // namespace
}  // namespace qr::ui
