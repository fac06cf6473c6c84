// The modal window through which the person adds one task: the playlist
// address, a file name (or one made from the clock when the window opened)
// and the target directory. A passed OK appends a queued row to the queue.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/shared_text.h"
#include "ui/toolkit/form_model.h"
#include "ui/toolkit/list_view.h"
#include "ui/toolkit/toolkit_services.h"
#include "ui/toolkit/window_model.h"

namespace qr::app {

namespace new_task {
inline constexpr char kTitle[] = "输入新任务的地址";
inline constexpr char kAddressBox[] = "编辑框_网址";
inline constexpr char kNameBox[] = "编辑框_命名";
inline constexpr char kAutoNameBox[] = "选择框_自动命名";
inline constexpr char kFolderBox[] = "编辑框_目录";
inline constexpr char kOkButton[] = "超级按钮_确定";
inline constexpr char kCancelButton[] = "超级按钮_取消";
inline constexpr char kOpenFolderButton[] = "超级按钮_打开下载目录";
// The name box's background while automatic naming disables it.
inline constexpr std::uint32_t kDisabledBackground = 0xE3E3E3;

// What OK refuses, in the order it checks.
inline constexpr char kNoAddress[] = "地址不能为空!";
inline constexpr char kNotM3u8[] = "只支持 .m3u8 格式的文件!";
inline constexpr char kNotHttp[] = "网址格式不正确!";
inline constexpr char kNoName[] = "请输入文件名!";
inline constexpr char kBadName[] = "文件名不合法,请换一个名称!";
inline constexpr char kNoFolder[] = "下载目录不能为空!";
inline constexpr char kBadFolder[] = "下载目录不合法,请重新选择!";
inline constexpr char kComma[] = "文件名、地址和目录中不能含有逗号!";
}  // namespace new_task

// The clipboard text when it reads as a playlist address: spaces around it
// removed, "http" and after it "m3u8" (any letter case) with at least one
// character between them. Empty otherwise.
std::string PastableAddress(std::string_view clipboard);

class NewTaskWindow : public qr::ui::FormEvents {
 public:
  // Makes the name proposed at opening; empty: the clock as yyyyMMddhhmmss.
  using StampMaker = std::function<std::string()>;

  // `autoName` is the process-wide proposed name; `owner` where the main window is.
  NewTaskWindow(qr::ui::ToolkitServices& services, qr::ui::ListView& queue, qr::ui::WindowGeometry owner,
                SharedText& autoName, StampMaker makeStamp = {});

  // Runs the window modally; true when a task was added.
  bool Run();
  qr::ui::FormModel& Form() { return form_; }

  // FormEvents
  void OnFormOpened() override;
  void OnClicked(const std::string& controlName) override;
  void OnDoubleClicked(const std::string& controlName) override;

 private:
  void ApplyNameBoxRule();
  void Accept();
  // The first refusal of OK, or empty when the task may be added.
  std::string Refusal(const std::string& name) const;

  qr::ui::ToolkitServices& services_;
  qr::ui::ListView& queue_;
  qr::ui::WindowGeometry owner_;
  SharedText& autoName_;
  StampMaker makeStamp_;
  qr::ui::FormModel form_;
};

}  // namespace qr::app
