#include "ui/win32/wide_text.h"

#include "runtime/codepage.h"
#include "runtime/text.h"

namespace qr::ui::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W functions take UTF-16");

std::wstring Wide(std::string_view gbk) {
  const std::u16string utf16 = qr::codepage::GbkToUtf16(gbk);
  return std::wstring(utf16.begin(), utf16.end());
}

std::string Narrow(std::wstring_view wide) {
  return qr::codepage::Utf16ToGbk(std::u16string(wide.begin(), wide.end()));
}

std::wstring DialogFilter(std::string_view filter) {
  std::wstring result;
  for (const std::string& piece : qr::text::Split(filter, "|")) {
    result += Wide(piece);
    result += L'\0';
  }
  result += L'\0';
  return result;
}

}  // namespace qr::ui::win32
