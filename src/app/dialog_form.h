// What the program's dialog forms share: the short-hand for their control
// lists and the folder chooser behind their directory boxes.
#pragma once

#include <string>
#include <utility>

#include "ui/toolkit/form_model.h"
#include "ui/toolkit/toolkit_services.h"

namespace qr::app {

inline qr::ui::ControlSpec FormControl(qr::ui::ControlKind kind, std::string name, std::string caption,
                                       qr::ui::ControlPlace place) {
  qr::ui::ControlSpec spec;
  spec.kind = kind;
  spec.name = std::move(name);
  spec.caption = std::move(caption);
  spec.place = place;
  return spec;
}

// The folder chooser "选择目录" with no folder selected; a chosen folder
// replaces the text of `box`, a cancelled chooser leaves it.
inline void ChooseFolderInto(qr::ui::ToolkitServices& services, qr::ui::FormModel& form, const std::string& box) {
  std::string folder = services.ChooseFolder("选择目录", "");
  if (!folder.empty()) form.SetText(box, std::move(folder));
}

}  // namespace qr::app
