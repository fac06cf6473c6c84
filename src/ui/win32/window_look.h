// The font and icon every window of the program shares: the main window and
// the dialog forms use the same message font and the program's own icon.
#pragma once

#include <windows.h>

namespace qr::ui::win32 {

// The system's message font (the caller deletes it); null when the system gives none.
HFONT CreateMessageFont();
// The program icon at `size` pixels, shared: the system keeps it for the life of the program.
HICON LoadProgramIcon(int size);

}  // namespace qr::ui::win32
