#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QMenuBar>
#include <QToolButton>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window_layout.h"
#include "app/menu_ids.h"
#include "qt_test_support.h"
#include "recording_window_events.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/qt_toolkit.h"

namespace qr::ui::qt {
namespace {

using testing::ProcessUntil;
using testing::Settle;

using RecordingEvents = qr::testing::RecordingWindowEvents;

class QtMainWindowTest : public testing::QtTest {
 protected:
  void SetUp() override {
    parts_ = std::make_unique<qr::app::MainWindowParts>(qr::app::BuildMainWindow(model_));
    window_ = std::make_unique<QtMainWindow>(model_, events_, toolkit_);
    Settle();
  }
  void TearDown() override { window_.reset(); }

  QStringList MenuTexts(QMenu* menu) const {
    QStringList texts;
    for (QAction* action : menu->actions()) texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
  }

  MainWindowModel model_;
  std::unique_ptr<qr::app::MainWindowParts> parts_;
  RecordingEvents events_;
  QtToolkit toolkit_;
  std::unique_ptr<QtMainWindow> window_;
};

QStringList Texts(std::initializer_list<const char*> gbk) {
  QStringList texts;
  for (const char* text : gbk) texts << (std::string(text) == "-" ? QStringLiteral("-") : ToQString(text));
  return texts;
}

TEST_F(QtMainWindowTest, MenuBarFollowsTheModelInOrderWithoutTheHiddenMenu) {
  QStringList bar;
  for (QAction* action : window_->menuBar()->actions()) bar << action->text();
  EXPECT_EQ(bar, Texts({"任务", "下载", "文件", "查看", "帮助"}));
  EXPECT_EQ(MenuTexts(window_->MenuAt(qr::app::kTaskMenu)), Texts({"添加任务", "-", "导出", "导入", "-", "退出"}));
  EXPECT_EQ(MenuTexts(window_->MenuAt(qr::app::kHelpMenu)), Texts({"影视资源", "-", "检查更新", "-", "关于M3U8"}));
  // The tray menu exists for popping up only.
  EXPECT_EQ(MenuTexts(window_->MenuAt(qr::app::kTrayMenu)), Texts({"开始任务", "停止任务", "-", "退出程序"}));
  QAction* continuous = window_->MenuAction(qr::app::kMenuContinuousDownload);
  ASSERT_NE(continuous, nullptr);
  EXPECT_TRUE(continuous->isCheckable());
  EXPECT_TRUE(continuous->isChecked());
}

TEST_F(QtMainWindowTest, CheckMarkFollowsTheModelNotTheClick) {
  QAction* merge = window_->MenuAction(qr::app::kMenuMergeVideo);
  ASSERT_NE(merge, nullptr);
  merge->trigger();
  EXPECT_EQ(events_.calls.back(), "menu " + std::to_string(qr::app::kMenuMergeVideo));
  // The recording app logic left the mark alone, so the screen keeps it.
  EXPECT_TRUE(merge->isChecked());
  // A change from another thread reaches the item.
  std::thread([this] {
    model_.menu.SetChecked(qr::app::kMenuMergeVideo, false);
    model_.menu.SetCaption(qr::app::kMenuViewSwitch, "显示下载");
  }).join();
  ASSERT_TRUE(ProcessUntil([merge] { return !merge->isChecked(); }));
  EXPECT_EQ(window_->MenuAction(qr::app::kMenuViewSwitch)->text(), ToQString("显示下载"));
}

TEST_F(QtMainWindowTest, ToolbarShowsTheButtonsAndTheirStates) {
  const QList<QAction*> buttons = window_->TaskToolbar()->actions();
  ASSERT_EQ(buttons.size(), 7);
  EXPECT_EQ(buttons[0]->text(), ToQString("新建任务"));
  EXPECT_EQ(buttons[0]->toolTip(), ToQString("新增一条下载任务"));
  EXPECT_EQ(buttons[6]->text(), ToQString("选项"));
  EXPECT_TRUE(buttons[1]->isEnabled());
  EXPECT_FALSE(buttons[2]->isEnabled());
  std::thread([this] {
    model_.toolbar.SetEnabled(2, true);
    model_.toolbar.SetCaption(2, "继续");
  }).join();
  ASSERT_TRUE(ProcessUntil([&] { return buttons[2]->isEnabled(); }));
  EXPECT_EQ(buttons[2]->text(), ToQString("继续"));
  buttons[2]->trigger();
  EXPECT_EQ(events_.calls.back(), "toolbar 2");
}

TEST_F(QtMainWindowTest, AButtonOrItemDisabledOnAnotherThreadTakesNoClickBeforeTheScreenShowsIt) {
  QAction* start = window_->TaskToolbar()->actions()[qr::app::kButtonStart];
  QAction* about = window_->MenuAction(qr::app::kMenuAbout);
  ASSERT_NE(about, nullptr);
  std::thread([this] {
    model_.toolbar.SetEnabled(qr::app::kButtonStart, false);
    model_.menu.SetEnabled(qr::app::kMenuAbout, false);
  }).join();
  // The changes are still queued for the window thread: the actions look enabled.
  ASSERT_TRUE(start->isEnabled());
  ASSERT_TRUE(about->isEnabled());
  start->trigger();
  about->trigger();
  EXPECT_TRUE(events_.calls.empty());
}

TEST_F(QtMainWindowTest, PagesHoldTheListsAndFollowBothWays) {
  QTabWidget* pages = window_->Pages();
  ASSERT_EQ(pages->count(), 2);
  EXPECT_EQ(pages->tabText(0), ToQString("下载"));
  EXPECT_EQ(pages->tabText(1), ToQString("日志"));
  EXPECT_EQ(pages->widget(1), window_->PageList(1));
  EXPECT_EQ(window_->PageList(1)->model()->headerData(1, Qt::Horizontal).toString(), ToQString("日志记录"));

  model_.pages.SetCurrentPage(1);
  Settle();
  EXPECT_EQ(pages->currentIndex(), 1);
  EXPECT_TRUE(events_.calls.empty());  // the model's own change is no choice of the person

  pages->setCurrentIndex(0);
  EXPECT_EQ(model_.pages.CurrentPage(), 0);
  EXPECT_EQ(events_.calls, std::vector<std::string>{"page 0"});
}

TEST_F(QtMainWindowTest, OpensWithTitleAndGeometryOnlyWhenCreationAllows) {
  events_.allowCreate = false;
  EXPECT_FALSE(window_->Create());
  Settle();
  EXPECT_FALSE(window_->isVisible());

  events_.allowCreate = true;
  ASSERT_TRUE(window_->Create());
  ASSERT_TRUE(ProcessUntil([this] { return window_->isVisible(); }));
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("Quillreel V 2.0.8"));
  EXPECT_EQ(window_->size(), QSize(584, 464));
}

TEST_F(QtMainWindowTest, HidingWithoutANotificationAreaMinimisesInstead) {
  // The offscreen platform, like many desktops, shows no tray icons.
  ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
  ASSERT_TRUE(window_->Create());
  ASSERT_TRUE(ProcessUntil([this] { return window_->isVisible(); }));
  // Hidden in the tray, from another thread as a worker would.
  std::thread([this] { model_.window.SetVisible(false); }).join();
  ASSERT_TRUE(ProcessUntil([this] { return window_->isMinimized(); }));
  EXPECT_TRUE(window_->isVisible());
  // Brought back from the task bar: the model shows it again, as a tray click would.
  window_->showNormal();
  Settle();
  EXPECT_TRUE(model_.window.IsVisible());
  EXPECT_FALSE(model_.window.IsMinimised());
  EXPECT_FALSE(window_->isMinimized());
  // A second copy's raise request on a visible window keeps it there.
  model_.window.RequestRaise();
  Settle();
  EXPECT_TRUE(window_->isVisible());
}

TEST_F(QtMainWindowTest, CloseAsksTheAppLogicAndDestroysOnce) {
  ASSERT_TRUE(window_->Create());
  Settle();
  events_.calls.clear();

  EXPECT_FALSE(window_->close());
  EXPECT_EQ(events_.calls, std::vector<std::string>{"close query"});
  EXPECT_FALSE(window_->IsDestroyed());

  events_.allowClose = true;
  EXPECT_TRUE(window_->close());
  EXPECT_TRUE(window_->IsDestroyed());
  // A destroy request arriving afterwards does nothing more.
  model_.window.RequestDestroy();
  Settle();
  EXPECT_EQ(events_.calls, (std::vector<std::string>{"close query", "close query", "destroyed"}));
}

TEST_F(QtMainWindowTest, DestroyRequestFromTheModelEndsTheLoop) {
  ASSERT_TRUE(window_->Create());
  Settle();
  QMetaObject::invokeMethod(
      window_.get(), [this] { model_.window.RequestDestroy(); }, Qt::QueuedConnection);
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_TRUE(window_->IsDestroyed());
  EXPECT_FALSE(window_->isVisible());
}

TEST_F(QtMainWindowTest, TimerTicksWhileItsIntervalIsSet) {
  int ticks = 0;
  parts_->progressTimer.SetTickHandler([&ticks] { ++ticks; });
  std::thread([this] { parts_->progressTimer.SetInterval(10); }).join();
  ASSERT_TRUE(ProcessUntil([&ticks] { return ticks >= 3; }));
  parts_->progressTimer.SetInterval(0);
  Settle();
  const int stoppedAt = ticks;
  ProcessUntil([] { return false; }, 60);
  EXPECT_EQ(ticks, stoppedAt);
}

TEST_F(QtMainWindowTest, TrayFollowsTheModel) {
  model_.tray.Show(std::string(qr::app::kTrayTip));
  Settle();
  EXPECT_EQ(window_->Tray()->toolTip(), ToQString("双击打开主程序,右键弹出菜单!"));
  model_.tray.Remove();
  Settle();
  EXPECT_FALSE(window_->Tray()->isVisible());

  emit window_->Tray()->activated(QSystemTrayIcon::Trigger);
  emit window_->Tray()->activated(QSystemTrayIcon::DoubleClick);
  emit window_->Tray()->activated(QSystemTrayIcon::Context);
  emit window_->Tray()->activated(QSystemTrayIcon::MiddleClick);
  EXPECT_EQ(events_.calls, (std::vector<std::string>{"tray 1", "tray 2", "tray 3"}));
}

}  // namespace
}  // namespace qr::ui::qt
