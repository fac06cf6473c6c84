// config.ini written by the options window of one build reads back the same
// in the other build. The wine test run drives it (tools/run-wine-tests.sh)
// with QUILLREEL_CONFIG_EXCHANGE naming a shared folder: each run writes
// <folder>/<system>/config.ini, then reads the file of the system named by
// QUILLREEL_CONFIG_EXCHANGE_READ, if any. Without the variable it is skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/options_window.h"
#include "runtime/files.h"
#include "settings/setting_lookup.h"
#include "ui/headless/headless_toolkit.h"

namespace qr::app {
namespace {

using namespace options;
namespace settings = qr::settings;

#ifdef _WIN32
constexpr char kThisSystem[] = "windows";
#else
constexpr char kThisSystem[] = "linux";
#endif

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Confirms the options window in `programFolder` with `script` run in it first.
void RunOptions(const std::string& programFolder, qr::ui::HeadlessToolkit::FormScript script) {
  qr::files::SetProgramFolder(programFolder);
  qr::ui::HeadlessToolkit toolkit;
  toolkit.QueueFormScript(std::move(script));
  OptionsWindow(toolkit, {0, 0, 584, 464}, "").Run();
}

TEST(ConfigExchange, EachBuildReadsWhatTheOtherWrote) {
  const std::string folder = Environment("QUILLREEL_CONFIG_EXCHANGE");
  if (folder.empty()) GTEST_SKIP() << "run by tools/run-wine-tests.sh";
  const std::string own = qr::files::JoinPath(folder, kThisSystem);
  ASSERT_TRUE(qr::files::EnsureFolder(own));
  RunOptions(own, [](qr::ui::FormModel& form, qr::ui::FormEvents& events) {
    qr::ui::ControlState threads = form.State(form.Find(kThreadsCombo));
    threads.selected = 9;
    threads.text = "99";
    form.SetState(form.Find(kThreadsCombo), threads);
    form.SetText(kFolderBox, "D:\\视频\\电影 第1集");
    // Quotes are stored encoded; the delay box keeps any text as typed.
    form.SetText(kShutdownDelayBox, "\"120\"");
    form.SetChecked(kTrayIconBox, true);
    form.SetChecked(kExitRadio, true);
    form.SetChecked(kContinuousBox, false);
    events.OnClicked(kOkButton);
  });
  const std::string written = qr::files::ReadFileBytes(qr::files::JoinPath(own, "config.ini"));
  ASSERT_FALSE(written.empty());

  const std::string other = Environment("QUILLREEL_CONFIG_EXCHANGE_READ");
  if (other.empty()) return;
  const std::string theirs = qr::files::JoinPath(folder, other);
  ASSERT_TRUE(qr::files::FileExists(qr::files::JoinPath(theirs, "config.ini"))) << theirs;
  // The same window, the same choices: the same bytes.
  EXPECT_EQ(qr::files::ReadFileBytes(qr::files::JoinPath(theirs, "config.ini")), written);
  RunOptions(theirs, [](qr::ui::FormModel& form, qr::ui::FormEvents&) {
    EXPECT_EQ(form.State(form.Find(kThreadsCombo)).text, "99");
    EXPECT_EQ(form.State(form.Find(kThreadsCombo)).items.size(), 10u);
    EXPECT_EQ(form.Text(kFolderBox), "D:\\视频\\电影 第1集");
    EXPECT_EQ(form.Text(kShutdownDelayBox), "\"120\"");
    EXPECT_TRUE(form.Checked(kExitRadio));
    EXPECT_FALSE(form.Checked(kMinimiseRadio));
    EXPECT_FALSE(form.Checked(kContinuousBox));
    EXPECT_TRUE(form.Checked(kMergeBox));
  });
  EXPECT_EQ(settings::ReadSettingTail(settings::kDownloadThreads, 2), 99);
  EXPECT_EQ(settings::ReadSetting(settings::kDownloadFolder), "D:\\视频\\电影 第1集");
  EXPECT_TRUE(settings::IsSettingOn(settings::kTrayIconAtStart));
  EXPECT_TRUE(settings::IsSettingOn(settings::kCloseExits));
  EXPECT_FALSE(settings::IsSettingOn(settings::kContinuousDownload));
  qr::files::SetProgramFolder("");
}

}  // namespace
}  // namespace qr::app
