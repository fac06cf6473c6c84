#include <windows.h>

#include "runtime/codepage.h"
#include "runtime/files.h"

namespace qr::files {

char PathSeparator() { return '\\'; }

std::filesystem::path ToNativePath(std::string_view path) {
  const std::u16string wide = codepage::GbkToUtf16(path);
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

std::string FromNativePath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  return codepage::Utf16ToGbk(std::u16string(wide.begin(), wide.end()));
}

std::string ExecutableFolder() {
  wchar_t buffer[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  if (length == 0) return ".";
  return FromNativePath(std::filesystem::path(std::wstring(buffer, length)).parent_path());
}

}  // namespace qr::files
