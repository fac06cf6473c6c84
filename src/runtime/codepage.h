// Conversion between code page 936 byte text and Unicode, independent of the
// system's own code page. Bytes that cannot be decoded become U+FFFD, and
// characters that code page 936 lacks become '?', as the Windows converters do.
#pragma once

#include <string>
#include <string_view>

namespace qr::codepage {

std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);
std::u16string GbkToUtf16(std::string_view gbk);
std::string Utf16ToGbk(std::u16string_view utf16);

}  // namespace qr::codepage
