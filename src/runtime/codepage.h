// Conversion between code page 936 byte text and Unicode, independent of the
// system's own code page, with the Windows converters' results on every
// system: code page 936 bytes without a character become '?', as does every
// UTF-16 unit without a code (so a character beyond the basic plane gives
// two), a character with a similar one in the code page becomes that one, and
// invalid UTF-8 becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace qr::codepage {

std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);
std::u16string GbkToUtf16(std::string_view gbk);
std::string Utf16ToGbk(std::u16string_view utf16);

}  // namespace qr::codepage
