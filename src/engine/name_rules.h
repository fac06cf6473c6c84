// Which names may become a file or folder name on both systems. Windows is the
// stricter one, so its rules apply everywhere: a name accepted here makes the
// same file on Windows and Linux and never reaches outside its folder.
#pragma once

#include <string_view>

namespace qr::engine {

// True for a one-byte character Windows does not allow in a file name:
// \ / : * ? " < > | and the control characters. Never ask it about a byte of
// a two-byte character: a trail byte may equal '\' or '|'.
bool IsForbiddenInFileName(char c);

// CON, PRN, AUX, NUL, COM1-COM9 or LPT1-LPT9 (any letter case), alone or
// before an extension: Windows opens the device instead of a file of that name.
bool IsReservedDeviceName(std::string_view name);

// Windows drops dots and spaces at the end of a file name.
bool IsDroppedAtNameEnd(char c);

// A task's name becomes its folder and the stem of its video file. It is
// usable unless it is empty, holds only dots and spaces, ends in a dot or a
// space (Windows drops those, so the name would change), names a device, or
// holds a character a file name may not hold or a broken two-byte one.
// Command-line characters such as & % ^ are allowed: the merge scripts quote them.
bool IsUsableTaskName(std::string_view name);

// A task's folder is usable when it is not empty and holds no control
// character, no broken two-byte character and none of * ? " < > | , (the
// comma separates the fields of download.ini; separators and a drive's colon
// belong in a folder).
bool IsUsableTaskFolder(std::string_view folder);

}  // namespace qr::engine
