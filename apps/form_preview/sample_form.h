// A sample form with every control kind, laid out like the program's options
// dialog: a tab control of three pages with group boxes, check boxes, a radio
// group, combo boxes and edit boxes, links on the second page, the program
// icon and labels on the third, and the form's own OK and Cancel buttons.
// The form preview tool shows it; the backend tests run it.
#pragma once

#include <vector>

#include "ui/toolkit/form_model.h"

namespace qr::apps {

inline constexpr std::uint32_t kDisabledGrey = 0xE3E3E3;

inline qr::ui::FormModel SampleOptionsForm() {
  using qr::ui::ControlKind;
  using qr::ui::ControlSpec;
  auto control = [](ControlKind kind, const char* name, const char* caption, int x, int y, int width, int height,
                    int page) {
    ControlSpec spec;
    spec.kind = kind;
    spec.name = name;
    spec.caption = caption;
    spec.place = {x, y, width, height, page};
    return spec;
  };
  std::vector<ControlSpec> controls;
  ControlSpec tabs = control(ControlKind::kTabs, "pages", "", 8, 8, 424, 304, -1);
  tabs.initial.items = {{"常规设置", 0}, {"网络连接", 1}, {"关于软件", 2}};
  tabs.initial.selected = 0;
  controls.push_back(tabs);

  // Page 1: downloads and what follows them.
  controls.push_back(control(ControlKind::kGroupBox, "", "下载设置", 18, 38, 404, 126, 0));
  controls.push_back(control(ControlKind::kLabel, "", "保存目录:", 30, 64, 72, 20, 0));
  controls.push_back(control(ControlKind::kEdit, "folder", "", 104, 60, 222, 24, 0));
  controls.push_back(control(ControlKind::kButton, "browse", "浏览...", 334, 59, 76, 26, 0));
  controls.push_back(control(ControlKind::kLabel, "", "最大线程数:", 30, 98, 72, 20, 0));
  ControlSpec threads = control(ControlKind::kComboBox, "threads", "", 104, 94, 90, 24, 0);
  threads.initial.items = {{"4", 4}, {"8", 8}, {"16", 16}, {"32", 32}};
  threads.initial.selected = 2;
  threads.initial.text = "16";
  controls.push_back(threads);
  controls.push_back(control(ControlKind::kCheckBox, "autoStart", "启动后自动开始下载", 30, 130, 180, 22, 0));
  controls.push_back(control(ControlKind::kCheckBox, "toTray", "关闭时最小化到托盘", 220, 130, 190, 22, 0));
  controls.push_back(control(ControlKind::kGroupBox, "", "下载完成后", 18, 172, 404, 130, 0));
  ControlSpec nothing = control(ControlKind::kRadioBox, "afterNothing", "不做任何操作", 30, 196, 150, 22, 0);
  nothing.group = "after";
  nothing.initial.checked = true;
  controls.push_back(nothing);
  ControlSpec shutdown = control(ControlKind::kRadioBox, "afterShutdown", "关闭计算机", 190, 196, 150, 22, 0);
  shutdown.group = "after";
  controls.push_back(shutdown);
  controls.push_back(control(ControlKind::kLabel, "", "合并格式:", 30, 230, 72, 20, 0));
  ControlSpec format = control(ControlKind::kComboBox, "format", "", 104, 226, 90, 24, 0);
  format.initial.items = {{"MP4", 0}, {"TS", 1}, {"MKV", 2}};
  format.initial.selected = 0;
  format.initial.text = "MP4";
  controls.push_back(format);
  ControlSpec note = control(ControlKind::kEdit, "note", "", 210, 222, 200, 70, 0);
  note.multiLine = true;
  note.initial.text = "完成后的备注\r\n第二行";
  controls.push_back(note);

  // Page 2: the connection, and where to read more.
  controls.push_back(control(ControlKind::kCheckBox, "useProxy", "使用代理服务器", 30, 48, 200, 22, 1));
  controls.push_back(control(ControlKind::kLabel, "", "代理地址:", 30, 84, 72, 20, 1));
  ControlSpec proxy = control(ControlKind::kEdit, "proxy", "", 104, 80, 306, 24, 1);
  proxy.initial.text = "127.0.0.1:8080";
  proxy.initial.enabled = false;
  proxy.initial.background = kDisabledGrey;
  controls.push_back(proxy);
  ControlSpec homepage = control(ControlKind::kLink, "homepage", "访问软件主页", 30, 130, 160, 20, 1);
  homepage.initial.text = "https://quillreel.example.com/";
  controls.push_back(homepage);
  ControlSpec help = control(ControlKind::kLink, "help", "在线帮助", 200, 130, 120, 20, 1);
  help.initial.text = "https://quillreel.example.com/help";
  controls.push_back(help);

  // Page 3: about the program.
  controls.push_back(control(ControlKind::kPicture, "icon", "", 30, 52, 32, 32, 2));
  controls.push_back(control(ControlKind::kLabel, "", "Quillreel HLS 视频下载器 2.0.8", 76, 52, 320, 20, 2));
  controls.push_back(
      control(ControlKind::kLabel, "", "把网络上的 m3u8 视频下载并合并为一个文件。", 76, 78, 330, 40, 2));

  controls.push_back(control(ControlKind::kButton, "ok", "确定", 270, 322, 78, 28, -1));
  controls.push_back(control(ControlKind::kButton, "cancel", "取消", 354, 322, 78, 28, -1));
  return qr::ui::FormModel("选项设置", 440, 360, std::move(controls));
}

}  // namespace qr::apps
