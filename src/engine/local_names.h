// The file name each download list entry is stored under in the task's folder.
#pragma once

#include <string>
#include <vector>

namespace qr::engine {

// One name per entry: the entry's last path piece without its query string
// or fragment, with every character a Windows file name may not hold turned
// into "_" (on every system, so both builds store the same names). A name
// that would leave the folder, vanish on Windows (trailing dots and spaces)
// or name a device is made safe, and a name already taken (letter case
// ignored, as on Windows) gets a number before its extension: "seg.ts",
// "seg-2.ts", "seg-3.ts".
std::vector<std::string> LocalFileNames(const std::vector<std::string>& entries);

}  // namespace qr::engine
