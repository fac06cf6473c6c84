#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

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

namespace {

// fsync of a file or folder opened read-only (Linux flushes either that way).
bool SyncToDisk(const std::filesystem::path& path, int flags) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
}

}  // namespace

// The data first, then the rename, then the folder entry: without the first
// fsync a power cut after the rename can leave `to` empty; without the last
// one the rename itself can be lost.
bool MoveOverDurably(std::string_view from, std::string_view to) {
  const std::filesystem::path source = ToNativePath(from);
  const std::filesystem::path target = ToNativePath(to);
  if (!SyncToDisk(source, 0)) return false;
  if (std::rename(source.c_str(), target.c_str()) != 0) return false;
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  SyncToDisk(folder, O_DIRECTORY);  // the rename is done; a folder that cannot be synced changes nothing
  return true;
}

}  // namespace qr::files
