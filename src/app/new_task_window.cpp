#include "app/new_task_window.h"

#include <optional>
#include <utility>
#include <vector>

#include "app/control_state_store.h"
#include "app/dialog_form.h"
#include "engine/name_rules.h"
#include "queue/download_task.h"
#include "runtime/text.h"
#include "settings/date_format.h"
#include "settings/setting_lookup.h"

namespace qr::app {
namespace {

using namespace new_task;
using qr::ui::ControlKind;
using qr::ui::ControlSpec;
namespace text = qr::text;

constexpr char kInfoTitle[] = "信息：";
// Where the window opens, from the main window's top-left corner.
constexpr int kOffsetX = 50;
constexpr int kOffsetY = 170;

std::vector<ControlSpec> Controls() {
  ControlSpec autoName = FormControl(ControlKind::kCheckBox, kAutoNameBox, "自动命名", {320, 46, 90, 20});
  autoName.initial.checked = true;
  return {
      FormControl(ControlKind::kLabel, "", "下载地址：", {12, 16, 70, 20}),
      FormControl(ControlKind::kEdit, kAddressBox, "", {84, 13, 326, 22}),
      FormControl(ControlKind::kLabel, "", "文件名称：", {12, 48, 70, 20}),
      FormControl(ControlKind::kEdit, kNameBox, "", {84, 45, 226, 22}),
      autoName,
      FormControl(ControlKind::kLabel, "", "下载目录：", {12, 80, 70, 20}),
      FormControl(ControlKind::kEdit, kFolderBox, "", {84, 77, 326, 22}),
      FormControl(ControlKind::kButton, kOpenFolderButton, "打开下载目录", {12, 124, 110, 30}),
      FormControl(ControlKind::kButton, kOkButton, "确 定", {210, 124, 95, 30}),
      FormControl(ControlKind::kButton, kCancelButton, "取 消", {315, 124, 95, 30}),
  };
}

bool HasComma(const std::vector<std::string>& texts) {
  for (const auto& piece : texts) {
    if (text::Contains(piece, ",")) return true;
  }
  return false;
}

}  // namespace

std::string PastableAddress(std::string_view clipboard) {
  std::string address = text::Trim(clipboard);
  const std::size_t scheme = text::Find(address, "http", 0, true);
  if (scheme == text::npos) return {};
  // At least one character between the two.
  const std::size_t from = scheme + 4;
  if (from >= address.size()) return {};
  const std::size_t playlist = text::Find(address, "m3u8", from + text::CharLength(address, from), true);
  return playlist == text::npos ? std::string() : address;
}

NewTaskWindow::NewTaskWindow(qr::ui::ToolkitServices& services, qr::ui::ListView& queue, qr::ui::WindowGeometry owner,
                             SharedText& autoName, StampMaker makeStamp)
    : services_(services),
      queue_(queue),
      owner_(owner),
      autoName_(autoName),
      makeStamp_(makeStamp ? std::move(makeStamp)
                           : StampMaker([] { return qr::settings::FormatStampText(std::nullopt, 3); })),
      form_(kTitle, 420, 170, Controls()) {}

bool NewTaskWindow::Run() {
  services_.RunModalForm(form_, *this);
  // The window keeps its combo boxes in config.ini; it has none, so this
  // writes nothing, but a combo box added later is remembered too.
  SaveComboBoxes(form_, qr::settings::ConfigPath());
  return form_.Accepted();
}

void NewTaskWindow::OnFormOpened() {
  ApplyNameBoxRule();
  form_.SetText(kFolderBox, qr::settings::ReadSetting(qr::settings::kDownloadFolder));
  // The name keeps the moment of opening, however long the window stays open.
  autoName_.Set(makeStamp_());
  form_.MoveTo(owner_.x + kOffsetX, owner_.y + kOffsetY);
}

void NewTaskWindow::OnClicked(const std::string& controlName) {
  if (controlName == kOkButton) {
    Accept();
  } else if (controlName == kCancelButton) {
    form_.Close(false);
  } else if (controlName == kAutoNameBox) {
    ApplyNameBoxRule();
  } else if (controlName == kOpenFolderButton) {
    const std::string folder = form_.Text(kFolderBox);
    if (!folder.empty()) services_.OpenWithShell(folder);
  }
}

void NewTaskWindow::OnDoubleClicked(const std::string& controlName) {
  if (controlName == kAddressBox) {
    const std::string address = PastableAddress(services_.ClipboardText());
    if (!address.empty()) form_.SetText(kAddressBox, address);
  } else if (controlName == kFolderBox) {
    ChooseFolderInto(services_, form_, kFolderBox);
  }
}

void NewTaskWindow::ApplyNameBoxRule() {
  const bool automatic = form_.Checked(kAutoNameBox);
  form_.SetEnabled(kNameBox, !automatic);
  form_.SetBackground(kNameBox, automatic ? kDisabledBackground : qr::ui::kWhite);
}

std::string NewTaskWindow::Refusal(const std::string& name) const {
  const std::string address = form_.Text(kAddressBox);
  const std::string folder = form_.Text(kFolderBox);
  const bool typedName = !form_.Checked(kAutoNameBox);
  // The scheme and playlist checks match letter case, unlike the paste.
  if (address.empty()) return kNoAddress;
  if (!text::Contains(address, "m3u8")) return kNotM3u8;
  if (!text::Contains(address, "http")) return kNotHttp;
  if (typedName && name.empty()) return kNoName;
  // The engine refuses these when the task starts; better to say so now,
  // while the person can still change them.
  if (typedName && !qr::engine::IsUsableTaskName(name)) return kBadName;
  if (folder.empty()) return kNoFolder;
  // download.ini keeps a task as comma-separated fields without quoting (the
  // folder rule refuses a comma too; this message says why).
  if (HasComma({name, address, folder})) return kComma;
  if (!qr::engine::IsUsableTaskFolder(folder)) return kBadFolder;
  return {};
}

void NewTaskWindow::Accept() {
  const bool automatic = form_.Checked(kAutoNameBox);
  const std::string name = automatic ? autoName_.Get() : form_.Text(kNameBox);
  const std::string refusal = Refusal(name);
  if (!refusal.empty()) {
    services_.ShowMessage({refusal, kInfoTitle, qr::ui::message_box::kOk, true});
    return;
  }
  queue_.AddRow(qr::queue::QueuedTaskRow(name, form_.Text(kAddressBox), form_.Text(kFolderBox)));
  form_.Close(true);
}

}  // namespace qr::app
