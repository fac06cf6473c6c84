// Text at the edge between the program (code page 936 bytes) and Qt (UTF-16).
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace qr::ui::qt {

QString ToQString(std::string_view gbk);
std::string FromQString(const QString& text);

// Turns the program's file filter "description|pattern|description|pattern"
// into Qt's "description (patterns);;description (patterns)". A pattern list
// "*.a;*.b" becomes "*.a *.b", and "*.*" becomes "*" because on Linux "*.*"
// would hide every file without a dot. A description ending in its own
// "(pattern)" drops it, since Qt shows the patterns itself. A description
// without a pattern matches everything.
QString ToQtFileFilter(std::string_view filter);

}  // namespace qr::ui::qt
