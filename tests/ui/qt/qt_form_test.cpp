#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <thread>

#include "form_preview/sample_form.h"
#include "qt_test_support.h"
#include "recording_form_events.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/qt_toolkit.h"

namespace qr::ui::qt {
namespace {

using qr::apps::SampleOptionsForm;
using qr::testing::CheckModelAtClicksOfSampleForm;
using qr::testing::ExpectSampleFormAfterThePerson;
using qr::testing::RecordingFormEvents;
using testing::ProcessUntil;

class QtFormTest : public testing::QtTest {
 protected:
  // Runs the form; `play` runs once it is shown, with the dialog. A form
  // left open is closed after a while so a failing test cannot hang.
  void Run(const std::function<void(QtForm&)>& play) {
    events_.onOpened = [this, play](const std::string&) {
      QTimer::singleShot(0, [play] {
        auto* dialog = dynamic_cast<QtForm*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        play(*dialog);
      });
      QTimer::singleShot(10000, [this] { form_.Close(false); });
    };
    toolkit_.RunModalForm(form_, events_);
  }
  template <typename Widget>
  Widget* Control(QtForm& dialog, const char* name) {
    auto* widget = qobject_cast<Widget*>(dialog.ControlWidget(form_.Find(name)));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  QtToolkit toolkit_;
  FormModel form_ = SampleOptionsForm();
  RecordingFormEvents events_;
};

TEST_F(QtFormTest, WhatThePersonDoesReachesTheModelBeforeItsEvent) {
  QWidget* messageOwner = nullptr;
  events_.onClicked = CheckModelAtClicksOfSampleForm(form_);

  // A message box from inside the form is owned by it and works.
  events_.onDoubleClicked = [&](const std::string&) {
    EXPECT_EQ(form_.Text("folder"), "D:\\video");
    QTimer::singleShot(50, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      messageOwner = box->parentWidget();
      box->button(QMessageBox::Ok)->click();
    });
    toolkit_.ShowMessage({"已选择", "提示", message_box::kOk});
  };
  QtForm* shown = nullptr;
  Run([&](QtForm& dialog) {
    shown = &dialog;
    QTest::keyClicks(Control<QLineEdit>(dialog, "folder"), "D:\\video");
    Control<QPlainTextEdit>(dialog, "note")->setPlainText(ToQString("第一行\n第二行"));
    Control<QComboBox>(dialog, "threads")->setCurrentIndex(3);
    Control<QCheckBox>(dialog, "autoStart")->click();
    Control<QRadioButton>(dialog, "afterShutdown")->click();
    QTest::mouseDClick(Control<QLineEdit>(dialog, "folder"), Qt::LeftButton);
    QTabBar* tabs = Control<QTabWidget>(dialog, "pages")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    Control<QPushButton>(dialog, "ok")->click();
  });
  ExpectSampleFormAfterThePerson(form_, events_.calls);
  EXPECT_EQ(messageOwner, shown);
}

TEST_F(QtFormTest, LogicChangesReachTheWidgetsFromAnyThread) {
  Run([&](QtForm& dialog) {
    auto* folder = Control<QLineEdit>(dialog, "folder");
    form_.SetText("folder", "E:\\下载");
    form_.SetEnabled("folder", false);
    form_.SetBackground("folder", qr::apps::kDisabledGrey);
    EXPECT_EQ(folder->text(), ToQString("E:\\下载"));
    EXPECT_FALSE(folder->isEnabled());
    const QImage shot = folder->grab().toImage();
    EXPECT_EQ(shot.pixelColor(shot.width() - 6, shot.height() / 2), QColor(227, 227, 227));
    form_.SetChecked("afterShutdown", true);
    EXPECT_FALSE(Control<QRadioButton>(dialog, "afterNothing")->isChecked());

    std::thread([&] {
      form_.SetText("note", "甲\r\n乙");
      form_.SetSelected("pages", 2);
    }).join();
    auto* note = Control<QPlainTextEdit>(dialog, "note");
    EXPECT_TRUE(ProcessUntil([&] { return note->toPlainText() == ToQString("甲\n乙"); }));
    EXPECT_TRUE(ProcessUntil([&] { return dialog.ControlWidget(form_.Find("icon"))->isVisible(); }));
    EXPECT_FALSE(note->isVisible());  // its page is no longer the current one
    std::thread([&] { form_.Close(true); }).join();
  });
  EXPECT_EQ(events_.calls, std::vector<std::string>{"opened"});
  EXPECT_TRUE(form_.Accepted());
}

TEST_F(QtFormTest, EscapeAndTheCloseButtonCloseAsThePerson) {
  const std::vector<std::function<void(QtForm&)>> closings = {
      [](QtForm& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
      [](QtForm& dialog) { dialog.close(); },
  };
  for (const auto& close : closings) {
    FormModel form = SampleOptionsForm();
    RecordingFormEvents events;
    events.onOpened = [&](const std::string&) {
      QTimer::singleShot(0, [&] { close(*dynamic_cast<QtForm*>(QApplication::activeModalWidget())); });
    };
    toolkit_.RunModalForm(form, events);
    EXPECT_EQ(events.calls, (std::vector<std::string>{"opened", "closed by user"}));
    EXPECT_TRUE(form.IsClosed());
    EXPECT_FALSE(form.Accepted());
  }
}

}  // namespace
}  // namespace qr::ui::qt
