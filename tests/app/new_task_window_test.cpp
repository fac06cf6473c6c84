// The new-task window on the headless backend: scripted forms, a queue list of
// its own and a clock that the test sets.
#include "app/new_task_window.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "queue/download_task.h"
#include "ui/headless/headless_toolkit.h"

namespace qr::app {
namespace {

using namespace new_task;

constexpr char kAddress[] = "https://host/a/index.m3u8";

class NewTaskWindowTest : public qr::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    queue_.SetColumns(qr::queue::QueueColumns());
    WriteConfig("[编辑框]\r\n编辑框_目录=" + folder_ + "\r\n");
  }
  // Opens the window, lets `script` act in it, and tells whether a task was added.
  bool Run(qr::ui::HeadlessToolkit::FormScript script) {
    toolkit_.QueueFormScript(std::move(script));
    NewTaskWindow window(toolkit_, queue_, {30, 40, 584, 464}, autoName_,
                         [this] { return "2020121509301" + std::to_string(stamps_++); });
    return window.Run();
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& shown : toolkit_.ShownMessages()) texts.push_back(shown.text);
    return texts;
  }

  qr::ui::HeadlessToolkit toolkit_;
  qr::ui::ListView queue_;
  SharedText autoName_;
  int stamps_ = 0;
};

TEST_F(NewTaskWindowTest, OkChecksInOrderAndKeepsTheWindowAsTyped) {
  const struct {
    std::string address;
    bool automatic;
    std::string name;
    std::string folder;  // "=": the configured one
    std::string refusal;
  } cases[] = {
      {"", false, "a/b", "", kNoAddress},
      {"https://host/INDEX.M3U8", true, "", "=", kNotM3u8},
      {"HTTPS://host/index.m3u8", true, "", "=", kNotHttp},
      {kAddress, false, "", "=", kNoName},
      {kAddress, false, "a/b", "=", kBadName},
      {kAddress, false, "con", "=", kBadName},
      {kAddress, false, "name.", "=", kBadName},
      {kAddress, false, "ok", "", kNoFolder},
      {kAddress, false, "ok", "D:\\a|b", kBadFolder},
      {kAddress, false, "a,b", "=", kComma},
      {"https://host/index.m3u8?k=1,2", true, "", "=", kComma},
      {kAddress, true, "", folder_ + ",x", kComma},
  };
  for (const auto& c : cases) {
    const std::string folder = c.folder == "=" ? folder_ : c.folder;
    bool closed = true;
    qr::ui::ControlState nameBox;
    const bool added = Run([&](qr::ui::FormModel& form, qr::ui::FormEvents& events) {
      form.SetText(kAddressBox, c.address);
      form.SetChecked(kAutoNameBox, c.automatic);
      events.OnClicked(kAutoNameBox);
      form.SetText(kNameBox, c.name);
      form.SetText(kFolderBox, folder);
      events.OnClicked(kOkButton);
      closed = form.IsClosed();
      EXPECT_EQ(form.Text(kAddressBox), c.address);
      EXPECT_EQ(form.Text(kFolderBox), folder);
    });
    EXPECT_FALSE(added) << c.address << " " << c.name;
    EXPECT_FALSE(closed);
    EXPECT_EQ(Messages().back(), c.refusal) << c.address << " " << c.name << " " << folder;
    EXPECT_EQ(toolkit_.ShownMessages().back().title, "信息：");
  }
  EXPECT_EQ(Messages().size(), std::size(cases));
  EXPECT_EQ(queue_.RowCount(), 0);
}

TEST_F(NewTaskWindowTest, PassedOkAppendsAQueuedRow) {
  const struct {
    std::string address;
    bool automatic;
    std::string name;  // in the name box
    std::string rowName;
  } cases[] = {
      // Opened and confirmed at once: named by the stamp of the opening, the name box unused.
      {kAddress, true, "a/b", "20201215093010"},
      {"see m3u8 at http://host/list", false, "Tom & Jerry 100%", "Tom & Jerry 100%"},
      {kAddress, false, "a^b", "a^b"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(Run([&](qr::ui::FormModel& form, qr::ui::FormEvents& events) {
      form.SetText(kAddressBox, c.address);
      if (!c.automatic) {
        form.SetChecked(kAutoNameBox, false);
        events.OnClicked(kAutoNameBox);
      }
      form.SetText(kNameBox, c.name);
      events.OnClicked(kOkButton);
    }));
    stamps_ = 0;
    EXPECT_EQ(queue_.Row(queue_.RowCount() - 1), qr::queue::QueuedTaskRow(c.rowName, c.address, folder_));
  }
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(queue_.Cell(0, qr::queue::kColumnState), "排队等待");
  // Nothing of this window goes into config.ini: it has no combo box.
  EXPECT_EQ(Read("config.ini"), "[编辑框]\r\n编辑框_目录=" + folder_ + "\r\n");
}

TEST_F(NewTaskWindowTest, OpensAutomaticWithTheStampOfItsOpeningBelowTheMainWindow) {
  Run([&](qr::ui::FormModel& form, qr::ui::FormEvents& events) {
    EXPECT_EQ(form.Title(), "输入新任务的地址");
    EXPECT_EQ(form.X(), 80);
    EXPECT_EQ(form.Y(), 210);
    EXPECT_EQ(form.Text(kFolderBox), folder_);
    const qr::ui::ControlState name = form.State(form.Find(kNameBox));
    EXPECT_TRUE(form.Checked(kAutoNameBox));
    EXPECT_FALSE(name.enabled);
    EXPECT_EQ(name.background, 0xE3E3E3u);
    form.SetChecked(kAutoNameBox, false);
    events.OnClicked(kAutoNameBox);
    EXPECT_TRUE(form.State(form.Find(kNameBox)).enabled);
    EXPECT_EQ(form.State(form.Find(kNameBox)).background, 0xFFFFFFu);
    // Later clock readings change nothing: the name was made at opening.
    form.SetChecked(kAutoNameBox, true);
    form.SetText(kAddressBox, kAddress);
    events.OnClicked(kOkButton);
  });
  EXPECT_EQ(stamps_, 1);
  EXPECT_EQ(autoName_.Get(), "20201215093010");
  EXPECT_EQ(queue_.Cell(0, qr::queue::kColumnName), "20201215093010");
}

TEST_F(NewTaskWindowTest, DefaultStampIsFourteenDigits) {
  NewTaskWindow window(toolkit_, queue_, {}, autoName_);
  window.Run();
  EXPECT_EQ(autoName_.Get().size(), 14u);
  EXPECT_EQ(autoName_.Get().find_first_not_of("0123456789"), std::string::npos);
}

TEST_F(NewTaskWindowTest, PastingAnAddressIgnoresCaseButOkDoesNot) {
  const struct {
    std::string clipboard;
    std::string pasted;  // empty: refused
  } cases[] = {
      {"  HTTP://Host/Path/INDEX.M3U8  ", "HTTP://Host/Path/INDEX.M3U8"},
      {"m3u8 then http://a", ""},
      {"httpm3u8", ""},
      {"http.m3u8", "http.m3u8"},
      {"ftp://host/a.m3u8", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PastableAddress(c.clipboard), c.pasted) << c.clipboard;

  toolkit_.SetClipboardText(cases[0].clipboard);
  Run([&](qr::ui::FormModel& form, qr::ui::FormEvents& events) {
    events.OnDoubleClicked(kAddressBox);
    EXPECT_EQ(form.Text(kAddressBox), cases[0].pasted);
    events.OnClicked(kOkButton);
    toolkit_.SetClipboardText("ftp://host/a.m3u8");
    events.OnDoubleClicked(kAddressBox);
    EXPECT_EQ(form.Text(kAddressBox), cases[0].pasted);
  });
  EXPECT_EQ(Messages(), std::vector<std::string>{kNotM3u8});
}

TEST_F(NewTaskWindowTest, FolderChooserOpenFolderAndCancel) {
  toolkit_.QueueFolder("/chosen");
  const bool added = Run([&](qr::ui::FormModel& form, qr::ui::FormEvents& events) {
    events.OnDoubleClicked(kFolderBox);
    EXPECT_EQ(form.Text(kFolderBox), "/chosen");
    events.OnDoubleClicked(kFolderBox);  // cancelled
    EXPECT_EQ(form.Text(kFolderBox), "/chosen");
    events.OnClicked(kOpenFolderButton);
    form.SetText(kFolderBox, "");
    events.OnClicked(kOpenFolderButton);  // nothing to open
    form.SetText(kAddressBox, kAddress);
    events.OnClicked(kCancelButton);
  });
  EXPECT_FALSE(added);
  EXPECT_EQ(queue_.RowCount(), 0);
  EXPECT_EQ(toolkit_.FolderRequests(), (std::vector<std::string>{"选择目录", "选择目录"}));
  EXPECT_EQ(toolkit_.ShellOpened(), std::vector<std::string>{"/chosen"});
}

}  // namespace
}  // namespace qr::app
