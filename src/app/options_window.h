// The options window: the settings of config.ini as controls on three pages
// (general settings, a page of resource links, the about page). It reads the
// file each time it opens and writes every control into it on "确 定";
// closing it any other way writes nothing.
#pragma once

#include <string>

#include "ui/toolkit/form_model.h"
#include "ui/toolkit/toolkit_services.h"
#include "ui/toolkit/window_model.h"

namespace qr::app {

namespace options {
inline constexpr char kTitle[] = "配置 M3U8";
inline constexpr char kTabs[] = "高级选择夹1";
inline constexpr char kTrayIconBox[] = "选择框_启动托盘图标";
inline constexpr char kExitRadio[] = "单选框_退出";
inline constexpr char kMinimiseRadio[] = "单选框_最小化";
inline constexpr char kThreadsCombo[] = "组合框_下载线程";
inline constexpr char kErrorsCombo[] = "组合框_下载错误";
inline constexpr char kRetriesCombo[] = "组合框_解析重试";
inline constexpr char kShutdownBox[] = "选择框_完成后自动关机";
inline constexpr char kShutdownDelayBox[] = "编辑框_关机时间";
inline constexpr char kContinuousBox[] = "选择框_自动连续下载";
inline constexpr char kMergeBox[] = "选择框_自动合并视频";
inline constexpr char kDeleteTemporaryBox[] = "选择框_删除临时文件";
inline constexpr char kFolderBox[] = "编辑框_目录";
inline constexpr char kBrowseButton[] = "超级按钮_浏览";
inline constexpr char kOkButton[] = "超级按钮_确定";

enum Page : int { kGeneralPage = 0, kResourcesPage = 1, kAboutPage = 2 };
// The main window's page requests.
inline constexpr char kAboutRequest[] = "1";
inline constexpr char kResourcesRequest[] = "2";
}  // namespace options

// The page a page request opens: "1" about, "2" resources, anything else general.
options::Page PageOfRequest(const std::string& request);

class OptionsWindow : public qr::ui::FormEvents {
 public:
  // `owner` where the main window is; `pageRequest` the page asked for by the
  // main window (kept there, never cleared).
  OptionsWindow(qr::ui::ToolkitServices& services, qr::ui::WindowGeometry owner, std::string pageRequest);

  // Runs the window modally; true when it was closed by "确 定".
  bool Run();
  qr::ui::FormModel& Form() { return form_; }

  // FormEvents
  void OnFormOpened() override;
  void OnClicked(const std::string& controlName) override;
  void OnDoubleClicked(const std::string& controlName) override;

 private:
  void Save();

  qr::ui::ToolkitServices& services_;
  qr::ui::WindowGeometry owner_;
  std::string pageRequest_;
  qr::ui::FormModel form_;
};

}  // namespace qr::app
