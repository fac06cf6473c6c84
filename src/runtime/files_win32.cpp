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

// The data first (a temporary file whose bytes are still in the cache may be
// renamed over the old file and come back empty after a power cut), then a
// rename that returns only once it is on the disk.
bool MoveOverDurably(std::string_view from, std::string_view to) {
  const std::wstring source = ToNativePath(from).native();
  const std::wstring target = ToNativePath(to).native();
  const HANDLE file = CreateFileW(source.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(file) != 0;
  CloseHandle(file);
  return flushed &&
         MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace qr::files
