#include <windows.h>

#include "runtime/codepage.h"

namespace qr::codepage {
namespace {

constexpr UINT kGbk = 936;

std::u16string ToUtf16(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::u16string result(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(result.data()), length);
  return result;
}

std::string FromUtf16(UINT codePage, std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(codePage, 0, wide, size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide, size, result.data(), length, nullptr, nullptr);
  return result;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) { return FromUtf16(kGbk, ToUtf16(CP_UTF8, utf8)); }
std::string GbkToUtf8(std::string_view gbk) { return FromUtf16(CP_UTF8, ToUtf16(kGbk, gbk)); }
std::u16string GbkToUtf16(std::string_view gbk) { return ToUtf16(kGbk, gbk); }
std::string Utf16ToGbk(std::u16string_view utf16) { return FromUtf16(kGbk, utf16); }

}  // namespace qr::codepage
