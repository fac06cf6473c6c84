#include "app/options_window.h"

#include <utility>
#include <vector>

#include "app/control_state_store.h"
#include "app/dialog_form.h"
#include "app/new_task_window.h"
#include "app/program_version.h"
#include "engine/name_rules.h"
#include "settings/setting_lookup.h"

namespace qr::app {
namespace {

using namespace options;
using qr::ui::ControlKind;
using qr::ui::ControlPlace;
using qr::ui::ControlSpec;

constexpr char kCloseChoice[] = "关闭窗口时";
// Where the window opens, from the main window's top-left corner.
constexpr int kOffsetX = 90;
constexpr int kOffsetY = 60;

ControlPlace On(Page page, int x, int y, int width, int height) { return {x, y, width, height, page}; }

ControlSpec Combo(const char* name, std::vector<std::string> texts, const std::string& selectedText,
                  ControlPlace place) {
  ControlSpec spec = FormControl(ControlKind::kComboBox, name, "", place);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    spec.initial.items.push_back({texts[i], static_cast<std::int32_t>(i)});
    if (texts[i] == selectedText) spec.initial.selected = static_cast<int>(i);
  }
  spec.initial.text = selectedText;
  return spec;
}

ControlSpec Check(const char* name, const char* caption, bool checked, ControlPlace place) {
  ControlSpec spec = FormControl(ControlKind::kCheckBox, name, caption, place);
  spec.initial.checked = checked;
  return spec;
}

ControlSpec Radio(const char* name, const char* caption, ControlPlace place) {
  ControlSpec spec = FormControl(ControlKind::kRadioBox, name, caption, place);
  spec.group = kCloseChoice;
  return spec;
}

ControlSpec Label(const char* caption, ControlPlace place) {
  return FormControl(ControlKind::kLabel, "", caption, place);
}

ControlSpec Link(const char* caption, const char* address, ControlPlace place) {
  ControlSpec spec = FormControl(ControlKind::kLink, "", caption, place);
  spec.initial.text = address;
  return spec;
}

std::vector<ControlSpec> GeneralPage() {
  const Page p = kGeneralPage;
  ControlSpec delay = FormControl(ControlKind::kEdit, kShutdownDelayBox, "", On(p, 100, 164, 56, 22));
  delay.initial.text = "60";
  return {
      FormControl(ControlKind::kGroupBox, "", "系统托盘", On(p, 20, 40, 430, 56)),
      Check(kTrayIconBox, "启动托盘图标", false, On(p, 32, 64, 120, 20)),
      Radio(kExitRadio, "退出程序", On(p, 170, 64, 100, 20)),
      Radio(kMinimiseRadio, "最小化到任务栏", On(p, 280, 64, 150, 20)),
      FormControl(ControlKind::kGroupBox, "", "下载配置", On(p, 20, 104, 430, 96)),
      Label("下载线程：", On(p, 32, 130, 66, 20)),
      Combo(kThreadsCombo, {"10", "20", "30", "40", "50", "60", "70", "80", "90", "99"}, "20", On(p, 100, 127, 56, 22)),
      Label("下载错误：", On(p, 172, 130, 66, 20)),
      Combo(kErrorsCombo, {"1", "2", "3", "4", "5", "6", "7", "8", "9"}, "5", On(p, 240, 127, 56, 22)),
      Label("解析重试：", On(p, 312, 130, 66, 20)),
      Combo(kRetriesCombo, {"1", "2", "3", "4", "5", "6", "7", "8", "9"}, "5", On(p, 380, 127, 56, 22)),
      Check(kShutdownBox, "完成后", false, On(p, 32, 166, 66, 20)),
      delay,
      Label("秒关机", On(p, 162, 166, 60, 20)),
      FormControl(ControlKind::kGroupBox, "", "文件配置", On(p, 20, 208, 430, 100)),
      Check(kContinuousBox, "自动连续下载", true, On(p, 32, 232, 120, 20)),
      Check(kMergeBox, "自动合并视频", true, On(p, 170, 232, 120, 20)),
      Check(kDeleteTemporaryBox, "删除临时文件", true, On(p, 308, 232, 120, 20)),
      Label("保存地址：", On(p, 32, 270, 66, 20)),
      FormControl(ControlKind::kEdit, kFolderBox, "", On(p, 100, 267, 260, 22)),
      FormControl(ControlKind::kButton, kBrowseButton, "浏 览", On(p, 368, 264, 70, 28)),
  };
}

// Placeholder addresses: the page shows where links to resources would go.
std::vector<ControlSpec> ResourcesPage() {
  const Page p = kResourcesPage;
  return {
      Label("常用的资源地址：", On(p, 32, 48, 400, 20)),
      Link("示例视频资源", "https://example.org/videos/", On(p, 32, 78, 400, 20)),
      Link("HLS 测试流", "https://example.com/hls/index.m3u8", On(p, 32, 104, 400, 20)),
      Link("公开视频资料", "https://example.net/library/", On(p, 32, 130, 400, 20)),
  };
}

std::vector<ControlSpec> AboutPage() {
  const Page p = kAboutPage;
  return {
      FormControl(ControlKind::kPicture, "", "", On(p, 32, 52, 48, 48)),
      Label(kProgramName, On(p, 96, 52, 300, 22)),
      Label(kProgramVersionText, On(p, 96, 78, 300, 20)),
      Label("下载 M3U8 (HLS) 视频：多线程下载全部分段，再合并为一个视频文件。"
            "请只下载您有权保存的内容。",
            On(p, 96, 108, 340, 60)),
  };
}

std::vector<ControlSpec> Controls() {
  ControlSpec tabs = FormControl(ControlKind::kTabs, kTabs, "", {8, 8, 454, 352});
  tabs.initial.items = {{"常规", 0}, {"资源", 1}, {"关于", 2}};
  tabs.initial.selected = kGeneralPage;
  std::vector<ControlSpec> controls{tabs};
  for (auto page : {GeneralPage(), ResourcesPage(), AboutPage()}) {
    controls.insert(controls.end(), page.begin(), page.end());
  }
  controls.push_back(FormControl(ControlKind::kButton, kOkButton, "确 定", {362, 370, 100, 30}));
  return controls;
}

}  // namespace

Page PageOfRequest(const std::string& request) {
  if (request == kAboutRequest) return kAboutPage;
  if (request == kResourcesRequest) return kResourcesPage;
  return kGeneralPage;
}

OptionsWindow::OptionsWindow(qr::ui::ToolkitServices& services, qr::ui::WindowGeometry owner, std::string pageRequest)
    : services_(services), owner_(owner), pageRequest_(std::move(pageRequest)), form_(kTitle, 470, 410, Controls()) {}

bool OptionsWindow::Run() {
  services_.RunModalForm(form_, *this);
  return form_.Accepted();
}

void OptionsWindow::OnFormOpened() {
  // A missing file or line leaves the design default.
  const std::string config = qr::settings::ConfigPath();
  LoadComboBoxes(form_, config);
  LoadEditBoxes(form_, config);
  LoadCheckBoxes(form_, config);
  LoadRadioBoxes(form_, config);
  form_.MoveTo(owner_.x + kOffsetX, owner_.y + kOffsetY);
  form_.SetSelected(kTabs, PageOfRequest(pageRequest_));
}

void OptionsWindow::OnClicked(const std::string& controlName) {
  if (controlName == kOkButton) {
    // Every new task starts from this folder, and the engine would refuse
    // each one (a comma, for one, cannot be kept in download.ini): say so
    // now, with the window still open. An empty folder stays allowed.
    const std::string folder = form_.Text(kFolderBox);
    if (!folder.empty() && !qr::engine::IsUsableTaskFolder(folder)) {
      form_.SetSelected(kTabs, kGeneralPage);
      services_.ShowMessage({new_task::kBadFolder, "信息：", qr::ui::message_box::kOk, true});
      return;
    }
    Save();
    form_.Close(true);
  } else if (controlName == kBrowseButton) {
    ChooseFolderInto(services_, form_, kFolderBox);
  }
}

void OptionsWindow::OnDoubleClicked(const std::string& controlName) {
  if (controlName == kFolderBox) ChooseFolderInto(services_, form_, kFolderBox);
}

void OptionsWindow::Save() {
  // One replacement of config.ini: a crash while saving leaves the old settings or the new, never a mix.
  SaveFormControls(form_, qr::settings::ConfigPath());
}

}  // namespace qr::app
