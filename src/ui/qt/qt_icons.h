// The program's own icon (window and tray) and the toolbar's button images.
#pragma once

#include <QIcon>

namespace qr::ui::qt {

QIcon ProgramIcon();
// The image of toolbar button `index`, from the style's standard images, in
// the order of the task toolbar (new, start, pause, stop, delete, clear,
// options); a null icon for any other index.
QIcon ToolbarIcon(int index);

}  // namespace qr::ui::qt
