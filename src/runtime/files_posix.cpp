#include <unistd.h>

#include "runtime/codepage.h"
#include "runtime/files.h"

namespace qr::files {

char PathSeparator() { return '/'; }

std::filesystem::path ToNativePath(std::string_view path) { return std::filesystem::path(codepage::GbkToUtf8(path)); }

std::string FromNativePath(const std::filesystem::path& path) { return codepage::Utf8ToGbk(path.string()); }

std::string ExecutableFolder() {
  char buffer[4096];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return ".";
  const std::filesystem::path executable(std::string(buffer, static_cast<std::size_t>(length)));
  return FromNativePath(executable.parent_path());
}

}  // namespace qr::files
