#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <thread>
#include <vector>

#include "concurrency/pumping_wait.h"
#include "qt_test_support.h"
#include "ui/qt/qt_icons.h"
#include "ui/qt/qt_toolkit.h"

namespace qr::ui::qt {
namespace {

namespace mb = qr::ui::message_box;
using testing::ProcessUntil;

class QtToolkitTest : public testing::QtTest {
 protected:
  QtToolkit toolkit_;
};

TEST_F(QtToolkitTest, PostedWorkRunsOnTheWindowThreadInPostingOrder) {
  std::vector<int> ran;
  std::atomic<bool> wrongThread{false};
  QThread* windowThread = QThread::currentThread();
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i) {
      toolkit_.PostToWindowThread([&, i] {
        if (QThread::currentThread() != windowThread) wrongThread = true;
        ran.push_back(i);
      });
    }
  });
  poster.join();
  ASSERT_TRUE(ProcessUntil([&] { return ran.size() == 100; }));
  EXPECT_FALSE(wrongThread);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(ran[static_cast<std::size_t>(i)], i);
}

TEST_F(QtToolkitTest, PumpingWaitKeepsTheWindowThreadServed) {
  // The toolkit is the window thread's pump: work posted during a wait runs in it.
  bool ran = false;
  std::thread poster([&] { toolkit_.PostToWindowThread([&ran] { ran = true; }); });
  poster.join();
  const auto start = qr::concurrency::MillisecondClock();
  qr::concurrency::PumpingWait(150);
  const auto elapsed = qr::concurrency::MillisecondClock() - start;
  EXPECT_TRUE(ran);
  EXPECT_GE(elapsed, 140);
  EXPECT_LT(elapsed, 2000);
}

// The window and tray icon are the Windows program's image (48 and 32 pixel
// sizes and one more), not the drawn stand-in used when it cannot be read.
TEST_F(QtToolkitTest, ProgramIconIsTheWindowsProgramsImage) {
  const QList<QSize> sizes = ProgramIcon().availableSizes();
  EXPECT_EQ(sizes.size(), 3);
  EXPECT_TRUE(sizes.contains(QSize(48, 48)));
}

TEST(QtMessageBoxStyle, IconsAndButtonsByStyle) {
  EXPECT_EQ(MessageIcon(16), QMessageBox::Critical);
  EXPECT_EQ(MessageIcon(32), QMessageBox::Question);
  EXPECT_EQ(MessageIcon(48), QMessageBox::Warning);
  EXPECT_EQ(MessageIcon(64 | mb::kTaskModal), QMessageBox::Information);
  EXPECT_EQ(MessageIcon(0), QMessageBox::NoIcon);
  EXPECT_EQ(MessageButtons(mb::kYesNo | mb::kIconQuestion), QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(MessageButtons(mb::kOkCancel), QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(MessageButtons(mb::kIconError), QMessageBox::Ok);
  EXPECT_EQ(MessageAnswer(QMessageBox::Yes), mb::kAnswerYes);
  EXPECT_EQ(MessageAnswer(QMessageBox::No), mb::kAnswerNo);
  EXPECT_EQ(MessageAnswer(QMessageBox::Cancel), mb::kAnswerCancel);
  EXPECT_EQ(MessageAnswer(QMessageBox::Ok), mb::kAnswerOk);
}

// Presses `button` of the message box that will be open shortly.
void PressWhenShown(QMessageBox::StandardButton button, QString* seenText, QString* seenTitle) {
  QTimer::singleShot(50, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    *seenText = box->text();
    *seenTitle = box->windowTitle();
    box->button(button)->click();
  });
}

TEST_F(QtToolkitTest, MessageBoxShowsTheTextAndReturnsTheAnswer) {
  QString text;
  QString title;
  PressWhenShown(QMessageBox::No, &text, &title);
  const int answer = toolkit_.ShowMessage({"确定要清空队列吗?", "友情提醒:", mb::kYesNo | mb::kIconQuestion, false});
  EXPECT_EQ(answer, mb::kAnswerNo);
  EXPECT_EQ(text, QString::fromUtf8(u8"确定要清空队列吗?"));
  EXPECT_EQ(title, QString::fromUtf8(u8"友情提醒:"));
}

TEST_F(QtToolkitTest, MessageBoxFromAnotherThreadOpensOnTheWindowThread) {
  QString text;
  QString title;
  PressWhenShown(QMessageBox::Ok, &text, &title);
  std::atomic<int> answer{0};
  std::thread asker([&] { answer = toolkit_.ShowMessage({"下载失败", "错误", mb::kIconError, true}); });
  ASSERT_TRUE(ProcessUntil([&] { return answer != 0; }));
  asker.join();
  EXPECT_EQ(answer, mb::kAnswerOk);
  EXPECT_EQ(title, QString::fromUtf8(u8"错误"));
}

TEST_F(QtToolkitTest, ClipboardCarriesCodePage936Text) {
  toolkit_.SetClipboardText("https://例子.cn/视频.m3u8");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(u8"https://例子.cn/视频.m3u8"));
  QGuiApplication::clipboard()->setText(QString::fromUtf8(u8"第二集"));
  EXPECT_EQ(toolkit_.ClipboardText(), "第二集");
}

TEST_F(QtToolkitTest, QuitEventLoopEndsTheLoopWithTheCode) {
  toolkit_.QuitEventLoop(3);
  EXPECT_EQ(QCoreApplication::exec(), 3);
  EXPECT_EQ(toolkit_.ExitCode(), 3);
}

TEST_F(QtToolkitTest, QuitFromAnotherThreadEndsTheLoopWithTheFirstExitCode) {
  std::thread([this] {
    toolkit_.QuitEventLoop(3);
    toolkit_.QuitEventLoop(5);
  }).join();
  EXPECT_EQ(QCoreApplication::exec(), 3);
  EXPECT_EQ(toolkit_.ExitCode(), 3);
  // A later loop ends as well, with the same code.
  toolkit_.QuitEventLoop(0);
  EXPECT_EQ(QCoreApplication::exec(), 3);
}

}  // namespace
}  // namespace qr::ui::qt
