// The options window, opened the ways the main window opens it, on the
// headless backend with the test's own config.ini.
#include "app/options_window.h"

#include <gtest/gtest.h>

#include "app/menu_ids.h"
#include "app/new_task_window.h"
#include "app/queue_controller.h"
#include "main_window_fixture.h"
#include "settings/setting_lookup.h"
#include "support/recording_process_launcher.h"

namespace qr::app {
namespace {

using namespace options;
using qr::ui::FormModel;

class OptionsWindowTest : public qr::testing::MainWindowTest {
 protected:
  void OpenWithController() {
    Open();
    window_->Model().window.SetGeometry({50, 50, 584, 464});
    controller_ = std::make_unique<QueueController>(objects_, *window_, toolkit_, launcher_);
    window_->SetTaskControlHooks(controller_.get());
  }
  void TearDown() override {
    window_->SetTaskControlHooks(nullptr);
    controller_.reset();
    MainWindowTest::TearDown();
  }
  // Runs `command` (a menu item id, or a toolbar button as -1 - index) with `script` in the form it opens.
  void Command(int command, qr::ui::HeadlessToolkit::FormScript script = {}) {
    if (script) toolkit_.QueueFormScript(std::move(script));
    if (command < 0) {
      window_->OnToolbarClick(-1 - command);
    } else {
      window_->OnMenuCommand(command);
    }
  }
  static qr::ui::ControlState StateOf(FormModel& form, const char* name) { return form.State(form.Find(name)); }

  qr::process::testing::RecordingProcessLauncher launcher_;
  std::unique_ptr<QueueController> controller_;
};

constexpr int kToolbarNewTask = -1 - kButtonNewTask;
constexpr int kToolbarOptions = -1 - kButtonOptions;

TEST_F(OptionsWindowTest, OpensWithTheDesignDefaultsAndClosingSavesNothing) {
  OpenWithController();
  Command(kToolbarOptions, [&](FormModel& form, qr::ui::FormEvents&) {
    EXPECT_EQ(form.Title(), "配置 M3U8");
    EXPECT_EQ(form.X(), 140);
    EXPECT_EQ(form.Y(), 110);
    EXPECT_EQ(StateOf(form, kTabs).selected, kGeneralPage);
    const qr::ui::ControlState threads = StateOf(form, kThreadsCombo);
    EXPECT_EQ(threads.items.size(), 10u);
    EXPECT_EQ(threads.items.back().text, "99");
    EXPECT_EQ(threads.text, "20");
    EXPECT_EQ(threads.items.at(threads.selected).text, "20");
    EXPECT_EQ(StateOf(form, kErrorsCombo).text, "5");
    EXPECT_EQ(StateOf(form, kRetriesCombo).text, "5");
    EXPECT_EQ(form.Text(kShutdownDelayBox), "60");
    EXPECT_EQ(form.Text(kFolderBox), "");
    for (const char* on : {kContinuousBox, kMergeBox, kDeleteTemporaryBox}) EXPECT_TRUE(form.Checked(on)) << on;
    for (const char* off : {kTrayIconBox, kShutdownBox, kExitRadio, kMinimiseRadio}) {
      EXPECT_FALSE(form.Checked(off)) << off;
    }
  });
  EXPECT_EQ(toolkit_.FormsShown(), std::vector<std::string>{"配置 M3U8"});
  EXPECT_FALSE(qr::files::FileExists(PathOf("config.ini")));
}

TEST_F(OptionsWindowTest, OkWritesEveryControlAndTheReadersFindIt) {
  OpenWithController();
  toolkit_.QueueFolder("/videos");
  Command(kMenuOptions, [&](FormModel& form, qr::ui::FormEvents& events) {
    qr::ui::ControlState threads = StateOf(form, kThreadsCombo);
    threads.selected = 9;
    threads.text = "99";
    form.SetState(form.Find(kThreadsCombo), threads);
    form.SetChecked(kMinimiseRadio, true);
    form.SetText(kShutdownDelayBox, "abc");  // kept as typed
    events.OnClicked(kBrowseButton);
    events.OnClicked(kOkButton);
  });
  const std::string config = Read("config.ini");
  const std::size_t edits = config.find("[编辑框]"), combos = config.find("[组合框]");
  const std::size_t checks = config.find("[选择框]"), radios = config.find("[单选框]");
  ASSERT_NE(radios, std::string::npos);
  EXPECT_TRUE(edits < combos && combos < checks && checks < radios) << config;
  EXPECT_EQ(qr::settings::ReadSettingTail(qr::settings::kDownloadThreads, 2), 99);
  EXPECT_EQ(qr::settings::ReadSettingTail(qr::settings::kSegmentAttempts, 1), 5);
  EXPECT_EQ(qr::settings::ReadSetting(qr::settings::kDownloadFolder), "/videos");
  EXPECT_EQ(qr::settings::ReadSetting(qr::settings::kShutdownDelay), "abc");
  EXPECT_TRUE(qr::settings::IsSettingOn(qr::settings::kMergeVideo));
  EXPECT_FALSE(qr::settings::IsSettingOn(qr::settings::kTrayIconAtStart));
  EXPECT_TRUE(qr::settings::IsSettingOn(qr::settings::kCloseHides));
  EXPECT_FALSE(qr::settings::IsSettingOn(qr::settings::kCloseExits));

  // The next opening shows what was saved.
  Command(kMenuOptions, [&](FormModel& form, qr::ui::FormEvents&) {
    EXPECT_EQ(StateOf(form, kThreadsCombo).text, "99");
    EXPECT_EQ(StateOf(form, kThreadsCombo).items.size(), 10u);
    EXPECT_TRUE(form.Checked(kMinimiseRadio));
    EXPECT_EQ(form.Text(kFolderBox), "/videos");
  });
}

TEST_F(OptionsWindowTest, OkRefusesAFolderNoTaskCouldUseAndKeepsTheWindowOpen) {
  OpenWithController();
  Command(kMenuOptions, [&](FormModel& form, qr::ui::FormEvents& events) {
    form.SetSelected(kTabs, kAboutPage);
    for (const char* folder : {"D:\\影视,新", "D:\\a\x01b"}) {
      form.SetText(kFolderBox, folder);
      events.OnClicked(kOkButton);
      EXPECT_FALSE(form.IsClosed()) << folder;
      EXPECT_EQ(StateOf(form, kTabs).selected, kGeneralPage);
    }
    form.SetText(kFolderBox, "");
    events.OnClicked(kOkButton);
    EXPECT_TRUE(form.IsClosed());
  });
  ASSERT_EQ(toolkit_.ShownMessages().size(), 2u);
  EXPECT_EQ(toolkit_.ShownMessages().front().text, new_task::kBadFolder);
  EXPECT_EQ(qr::settings::ReadSetting(qr::settings::kDownloadFolder), "");
  EXPECT_TRUE(qr::files::FileExists(PathOf("config.ini")));
}

TEST_F(OptionsWindowTest, BrowseCancelledAndClosingWithoutOkLeaveEverything) {
  const std::string before = "[编辑框]\r\n编辑框_目录=D:\\old\r\n";
  WriteConfig(before);
  OpenWithController();
  toolkit_.QueueFolder("");  // cancelled
  toolkit_.QueueFolder("E:\\new");
  Command(kMenuOptions, [&](FormModel& form, qr::ui::FormEvents& events) {
    EXPECT_EQ(form.Text(kFolderBox), "D:\\old");
    events.OnClicked(kBrowseButton);
    EXPECT_EQ(form.Text(kFolderBox), "D:\\old");
    events.OnDoubleClicked(kFolderBox);
    EXPECT_EQ(form.Text(kFolderBox), "E:\\new");
  });
  EXPECT_EQ(toolkit_.FolderRequests(), (std::vector<std::string>{"选择目录", "选择目录"}));
  EXPECT_EQ(Read("config.ini"), before);
}

TEST_F(OptionsWindowTest, CommandsOpenTheirWindowOnTheRequestedPage) {
  OpenWithController();
  const struct {
    int command;
    const char* title;
    int page;  // options window only
  } steps[] = {
      {kMenuOptions, kTitle, kGeneralPage},
      {kMenuAbout, kTitle, kAboutPage},
      {kMenuOptions, kTitle, kAboutPage},  // the request is kept
      {kMenuVideoResources, kTitle, kResourcesPage},
      {kToolbarOptions, kTitle, kResourcesPage},
      {kToolbarNewTask, new_task::kTitle, -1},
      {kMenuAddTask, new_task::kTitle, -1},
  };
  for (const auto& step : steps) {
    std::string title;
    int page = -1;
    Command(step.command, [&](FormModel& form, qr::ui::FormEvents&) {
      title = form.Title();
      if (form.Find(kTabs) >= 0) page = StateOf(form, kTabs).selected;
    });
    EXPECT_EQ(title, step.title) << step.command;
    EXPECT_EQ(page, step.page) << step.command;
  }
  EXPECT_EQ(window_->QueueView().Tag(), "2");
}

}  // namespace
}  // namespace qr::app
