// The edge between the program's code page 936 text and the UTF-16 text of
// the Windows W functions, so Chinese shows right whatever the system's own
// code page is.
#pragma once

#include <string>
#include <string_view>

namespace qr::ui::win32 {

std::wstring Wide(std::string_view gbk);
std::string Narrow(std::wstring_view wide);

// A file dialog's filter from the program's form "description|pattern|...":
// every piece ends with a NUL and the list with one more. The split steps
// over double-byte characters, whose second byte may be the '|' byte.
std::wstring DialogFilter(std::string_view filter);

}  // namespace qr::ui::win32
