// Finding and raising the window of another running copy of the program
// (Windows only): the process by its executable name, its first visible
// top-level window, and bringing that window to the front.
#pragma once

#include <windows.h>

#include <string>

namespace qr::app {

// This program's executable file name without its folder.
std::wstring OwnExecutableName();

// The id of the first process in a snapshot of all processes whose executable
// name equals `exeName` (letter case ignored unless `caseSensitive`), passing
// over process `skip`; 0 when there is none.
DWORD FindProcessByName(const std::wstring& exeName, bool caseSensitive, DWORD skip = GetCurrentProcessId());

// The first visible top-level window of process `processId`, searched again
// and again (handling this thread's pending messages in between) while less
// than `limitMs` have passed; nullptr when none turned up.
HWND FindProcessWindow(DWORD processId, DWORD limitMs);

// Shows, restores and raises `window` (of any process) as a topmost window.
void BringToFront(HWND window);

}  // namespace qr::app
